#include "platform/system_drives.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

namespace brg {
namespace {

// The known folder below its drive's root ("Program Files"), if the system has it.
std::optional<std::filesystem::path> lf_knownFolderBelowRoot(REFKNOWNFOLDERID id)
{
    PWSTR raw = nullptr;
    std::optional<std::filesystem::path> folder;
    if (SHGetKnownFolderPath(id, 0, nullptr, &raw) == S_OK && raw != nullptr)
        folder = std::filesystem::path(raw).relative_path();
    CoTaskMemFree(raw);
    return folder;
}

class Win32Drives : public DriveProvider {
public:
    std::optional<std::filesystem::path> fixedDriveRoot(char letter) const override
    {
        const std::wstring root{static_cast<wchar_t>(letter), L':', L'\\'};
        if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED)
            return std::nullopt;
        return std::filesystem::path(std::wstring{static_cast<wchar_t>(letter), L':', L'/'});
    }

    std::vector<std::filesystem::path> programFolders() const override
    {
        std::vector<std::filesystem::path> folders;
        for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86})
            if (auto folder = lf_knownFolderBelowRoot(*id))
                folders.push_back(*folder);
        return folders;
    }
};

} // namespace

std::shared_ptr<DriveProvider> gf_systemDrives() { return std::make_shared<Win32Drives>(); }

} // namespace brg
