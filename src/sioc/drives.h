#pragma once
// The seam to the machine's drives, which the SIOC discovery searches. Windows answers with its
// fixed disks and Program Files folders; a POSIX system has no drive letters and answers nothing;
// tests map letters to folders of their own.
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace brg {

class DriveProvider {
public:
    virtual ~DriveProvider() = default;
    // The root folder of drive `letter` ('C' to 'Z') when it is a fixed disk, such as "D:/".
    virtual std::optional<std::filesystem::path> fixedDriveRoot(char letter) const = 0;
    // Program Files and Program Files (x86), each below its drive's root ("Program Files"), as
    // far as the system knows them; the discovery looks for them on every fixed drive.
    virtual std::vector<std::filesystem::path> programFolders() const = 0;
};

// Installed by the platform front end at start (tests install fakes); with none there are no drives.
extern std::shared_ptr<DriveProvider> g_driveProvider;

} // namespace brg
