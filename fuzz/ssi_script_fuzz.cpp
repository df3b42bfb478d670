// A compiled SIOC script: the record walk, the selection of its variables from the whole catalogue
// and their initialisation.
#include "fuzz_support.h"

#include "app/process_state.h"
#include "sioc/script_scan.h"
#include "vars/var_pool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& folder = brg::fuzz::gf_workFolder();
    brg::fuzz::gf_writeFile(folder / "cockpit.ssi", {reinterpret_cast<const char*>(data), size});
    brg::gf_resetProcessState();
    brg::g_varPool = std::make_shared<brg::VarPoolImpl>();
    try {
        brg::sioc::scanScript((folder / "cockpit.ssi").string());
    } catch (const std::exception&) {
        // No variable, or a number the catalogue does not know: the user is told, nothing more.
    }
    return 0;
}
