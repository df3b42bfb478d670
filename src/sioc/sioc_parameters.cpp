#include "sioc/sioc_parameters.h"

#include <fmt/core.h>

namespace brg {

std::atomic<std::shared_ptr<const SiocParameters>> g_siocparameters;

std::string sioc::describeSiocParameters(const SiocParameters& parameters)
{
    std::string text;
    if (parameters.host)
        text += fmt::format(" {}={}\n", SiocParameters::kHostKey, *parameters.host);
    if (parameters.port)
        text += fmt::format(" {}={}\n", SiocParameters::kPortKey, *parameters.port);
    if (parameters.script)
        text += fmt::format(" {}={}\n", SiocParameters::kScriptKey, *parameters.script);
    return text;
}

} // namespace brg
