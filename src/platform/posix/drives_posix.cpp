#include "platform/system_drives.h"

namespace brg {
namespace {

// POSIX has no drive letters, so the discovery falls back to the working directory.
class PosixDrives : public DriveProvider {
public:
    std::optional<std::filesystem::path> fixedDriveRoot(char) const override { return std::nullopt; }
    std::vector<std::filesystem::path> programFolders() const override { return {}; }
};

} // namespace

std::shared_ptr<DriveProvider> gf_systemDrives() { return std::make_shared<PosixDrives>(); }

} // namespace brg
