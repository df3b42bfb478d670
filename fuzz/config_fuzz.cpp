// Talvesync.cfg as the program reads it at start-up: every setting, the window position (which may
// rewrite the file) and the SIOC keys.
#include "fuzz_support.h"

#include "config/config_file.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "sioc/sioc_sources.h"

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
    return 0;
}
