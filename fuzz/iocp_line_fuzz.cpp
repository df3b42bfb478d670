// SIOC's side of the link: received IOCP lines through g_FromSIOCClient, then one processing cycle
// that applies them to the control variables and composes the PSX lines they cause.
#include "fuzz_support.h"

#include "app/process_state.h"
#include "sioc/from_sioc_channel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool bound = [] {
        brg::fuzz::gf_workFolder();
        brg::fuzz::gf_bindWholeCatalogue();
        return true;
    }();
    (void)bound;
    brg::fuzz::gf_forEachLine({reinterpret_cast<const char*>(data), size},
                              [](const std::string& line) { brg::g_FromSIOCClient->decodeMessage(line); });
    brg::fuzz::gf_runCycle();
    return 0;
}
