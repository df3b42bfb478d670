#pragma once
// Finds the SIOC installation on the fixed drives: the folder that holds SIOC's sioc.ini.
#include "sioc/drives.h"

#include <filesystem>
#include <optional>
#include <stop_token>

namespace brg {

// The known places first (IOCards/SIOC before SIOC, each on every drive from C: to Z:, then the
// same below the Program Files folders), then a walk of each drive to its first folder named
// exactly "SIOC". Empty when no folder with a sioc.ini is found. A walk that meets an unreadable
// folder throws std::filesystem::filesystem_error. Once `stop` is requested the search ends at the
// next folder it would look at, with StopRequestedException: a walk of a large disk takes minutes.
std::optional<std::filesystem::path> gf_findSiocFolder(const DriveProvider& drives, const std::stop_token& stop = {});

} // namespace brg
