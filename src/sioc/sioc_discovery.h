#pragma once
// The SIOC parameters of this run, from Talvesync.cfg and the SIOC installation's sioc.ini.
#include "sioc/sioc_parameters.h"

#include <memory>
#include <stop_token>
#include <string_view>

namespace brg {

namespace sioc {

// Talvesync.cfg alone when it names host, port and script; otherwise the SIOC folder is looked for
// on the drives of g_driveProvider (or, without one, taken to be the working directory), its
// sioc.ini read, and what Talvesync.cfg gives wins over it. Throws UserErrorException 11 when
// neither file is there and 14 to 17 for a missing entry or a script that is no .ssi or .lst;
// std::filesystem::filesystem_error when the search of a drive fails; StopRequestedException when
// `stop` is requested during the search.
std::shared_ptr<const SiocParameters> getSiocParameters(const std::stop_token& stop = {});

} // namespace sioc

// Checks host, port and script in this order and turns a ".lst" script into its ".ssi".
void gf_validateSiocParameters(SiocParameters& parameters, std::string_view source);

} // namespace brg
