#pragma once
// Drives for the discovery tests: each letter given is a fixed disk whose root is a folder.
#include "sioc/drives.h"

#include <map>

namespace brg::test {

class FakeDrives : public DriveProvider {
public:
    std::optional<std::filesystem::path> fixedDriveRoot(char letter) const override
    {
        const auto it = roots.find(letter);
        return it == roots.end() ? std::nullopt : std::optional(it->second);
    }
    std::vector<std::filesystem::path> programFolders() const override { return programs; }

    std::map<char, std::filesystem::path> roots;
    std::vector<std::filesystem::path> programs;
};

} // namespace brg::test
