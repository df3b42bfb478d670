#pragma once
// The two places that tell where SIOC is: Talvesync.cfg, and the sioc.ini of the SIOC installation.
#include "sioc/sioc_parameters.h"

#include <filesystem>
#include <optional>
#include <string>

namespace brg {

// IOCP_HOSTADDRESS, IOCP_port and CONFIG_FILE as Talvesync.cfg gives them, the path as written.
// Empty when the file cannot be opened.
std::optional<SiocParameters> gf_readCfgSiocKeys();

// The folder's sioc.ini: host "127.0.0.1", its IOCP_port, and its CONFIG_FILE resolved against the
// folder. Empty when the file cannot be opened.
std::optional<SiocParameters> gf_readSiocIni(const std::filesystem::path& siocFolder);

// A CONFIG_FILE value of sioc.ini as a path: ".\" at its start and plain names are relative to the
// SIOC folder, a value with ":\" is absolute.
std::string gf_resolveScriptPath(std::string value, const std::filesystem::path& siocFolder);

} // namespace brg
