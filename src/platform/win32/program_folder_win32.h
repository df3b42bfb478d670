#pragma once
// The folder Talvesync.exe runs in, from its command line, and the guard that keeps a second copy
// out of a folder that has one: two copies would write the same Log.txt and Talvesync.cfg.
#include <optional>
#include <string>
#include <vector>

namespace brg {

struct ProgramFolderChoice {
    // The folder to run in; empty: where the program was started.
    std::wstring folder;
    // Set when the command line is not understood.
    std::optional<std::wstring> problem;
};

// "-C FOLDER", or a folder as the only argument (as a shortcut's target line passes it); no
// arguments: the working folder. `arguments` are those after the program's name.
ProgramFolderChoice gf_parseProgramFolder(const std::vector<std::wstring>& arguments);

// The arguments after the program's name on this process's command line.
std::vector<std::wstring> gf_commandLineArguments();

// The usage line the message box shows for a command line it does not understand.
extern const wchar_t* const kProgramUsage;

// Holds a named mutex for the working folder for its lifetime, so that a second copy started for
// the same folder (by any spelling of its path) finds it.
class FolderLock {
public:
    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when another copy holds the folder already.
    bool acquired() const { return m_acquired; }
    // The working folder as the system spells it in full.
    const std::wstring& folder() const { return m_folder; }

private:
    void* m_mutex = nullptr;
    bool m_acquired = false;
    std::wstring m_folder;
};

} // namespace brg
