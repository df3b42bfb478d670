#pragma once
// Finds the SIOC installation on the fixed drives: the folder that holds SIOC's sioc.ini.
#include "sioc/drives.h"

#include <filesystem>
#include <optional>

namespace brg {

// The known places first (IOCards/SIOC before SIOC, each on every drive from C: to Z:, then the
// same below the Program Files folders), then a walk of each drive to its first folder named
// exactly "SIOC". Empty when no folder with a sioc.ini is found. A walk that meets an unreadable
// folder throws std::filesystem::filesystem_error.
std::optional<std::filesystem::path> gf_findSiocFolder(const DriveProvider& drives);

} // namespace brg
