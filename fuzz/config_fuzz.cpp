// Talvesync.cfg as the program reads it at start-up: every setting with the check of every line,
// the window position (which may rewrite the file) and the SIOC keys; then a save, after which
// the reader must find the value saved, whatever else the file holds.
#include "fuzz_support.h"

#include "config/config_file.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "sioc/sioc_sources.h"

#include <cstdlib>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brg::fuzz::gf_workFolder();
    brg::gf_resetConfiguration();
    brg::fuzz::gf_writeFile(brg::kCfgFilePath, {reinterpret_cast<const char*>(data), size});
    brg::gf_getCfgData();
    try {
        brg::gf_readMainWindowPosition();
    } catch (const std::exception&) {
    }
    (void)brg::gf_readCfgSiocKeys();
    try {
        brg::cfg::setCfgParam("MAIN_WINDOW_Y", "123");
    } catch (const std::exception&) {
        return 0;
    }
    if (brg::gf_cfgLookup(brg::CfgPattern::Integer, "MAIN_WINDOW_Y") != "123")
        std::abort();
    return 0;
}
