// PSX's side of the link: received lines through g_FromPSXClient's decoding, then one processing
// cycle that applies them to every catalogue variable and composes what goes out.
#include "fuzz_support.h"

#include "psx/from_psx_channel.h"
#include "app/process_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool bound = [] {
        brg::fuzz::gf_workFolder();
        brg::fuzz::gf_bindWholeCatalogue();
        return true;
    }();
    (void)bound;
    brg::fuzz::gf_forEachLine({reinterpret_cast<const char*>(data), size},
                              [](const std::string& line) { brg::g_FromPSXClient->decodeMessage(line); });
    brg::fuzz::gf_runCycle();
    return 0;
}
