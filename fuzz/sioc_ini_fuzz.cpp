// A SIOC installation's sioc.ini: the port and the script path, resolved against the folder.
#include "fuzz_support.h"

#include "sioc/sioc_sources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& folder = brg::fuzz::gf_workFolder();
    brg::fuzz::gf_writeFile(folder / "sioc.ini", {reinterpret_cast<const char*>(data), size});
    (void)brg::gf_readSiocIni(folder);
    return 0;
}
