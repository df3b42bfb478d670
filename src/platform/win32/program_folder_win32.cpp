#include "platform/win32/program_folder_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <fmt/format.h>
#include <fmt/xchar.h>

namespace brg {

const wchar_t* const kProgramUsage = L"Talvesync.exe [-C FOLDER | FOLDER]";

ProgramFolderChoice gf_parseProgramFolder(const std::vector<std::wstring>& arguments)
{
    if (arguments.empty())
        return {};
    if (arguments.size() == 1 && arguments[0] != L"-C" && !arguments[0].starts_with(L"-"))
        return {arguments[0], std::nullopt};
    if (arguments.size() == 2 && arguments[0] == L"-C")
        return {arguments[1], std::nullopt};
    std::wstring given;
    for (const auto& argument : arguments)
        given += (given.empty() ? L"" : L" ") + argument;
    return {{}, L"not understood: " + given};
}

std::vector<std::wstring> gf_commandLineArguments()
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; words && i < count; ++i)
        arguments.emplace_back(words[i]);
    LocalFree(words);
    return arguments;
}

namespace {

std::wstring lf_fullWorkingFolder()
{
    const DWORD length = GetFullPathNameW(L".", 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(L".", length, full.data(), nullptr);
    full.resize(written < length ? written : 0);
    return full;
}

// Folder names ignore case and both slashes; a mutex name may hold no backslash and at most
// MAX_PATH characters, so a long path is named by its FNV-1a hash.
std::wstring lf_mutexName(std::wstring folder)
{
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    for (wchar_t& c : folder)
        if (c == L'\\')
            c = L'/';
    const std::wstring prefix = L"Local\\Talvesync folder ";
    if (prefix.size() + folder.size() < MAX_PATH)
        return prefix + folder;
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : folder) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    return prefix + fmt::format(L"{:016x}", hash);
}

} // namespace

FolderLock::FolderLock() : m_folder(lf_fullWorkingFolder())
{
    m_mutex = CreateMutexW(nullptr, FALSE, lf_mutexName(m_folder).c_str());
    // Without a mutex nothing can be told about other copies; the program runs as before.
    m_acquired = m_mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

FolderLock::~FolderLock()
{
    if (m_mutex)
        CloseHandle(m_mutex);
}

} // namespace brg
