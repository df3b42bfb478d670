#include "sioc/sioc_discovery.h"

#include "base/exceptions.h"
#include "config/config_file.h"
#include "sioc/drives.h"
#include "sioc/sioc_folder.h"
#include "sioc/sioc_sources.h"

#include <fmt/core.h>

#include <filesystem>
#include <optional>

namespace brg {
namespace {

[[noreturn]] void lf_missing(std::int32_t code, const char* key, std::string_view source, std::string_view detail = {})
{
    throw UserErrorException(code, fmt::format("{} information is missing in {}{}", key, source, detail));
}

std::shared_ptr<const SiocParameters> lf_validated(SiocParameters parameters, std::string_view source)
{
    gf_validateSiocParameters(parameters, source);
    return std::make_shared<const SiocParameters>(std::move(parameters));
}

} // namespace

void gf_validateSiocParameters(SiocParameters& parameters, std::string_view source)
{
    if (!parameters.host) {
        if (parameters.rejectedHost)
            lf_missing(14, SiocParameters::kHostKey, source,
                       fmt::format(" ({} is not an IPv4 address or host name)", *parameters.rejectedHost));
        lf_missing(14, SiocParameters::kHostKey, source);
    }
    if (!parameters.port) {
        if (parameters.rejectedPort)
            lf_missing(15, SiocParameters::kPortKey, source,
                       fmt::format(" ({} is not a port number)", *parameters.rejectedPort));
        lf_missing(15, SiocParameters::kPortKey, source);
    }
    if (!parameters.script)
        lf_missing(16, SiocParameters::kScriptKey, source);
    std::string& script = *parameters.script;
    if (script.ends_with(".ssi"))
        return;
    if (const auto lst = script.find(".lst"); lst != std::string::npos) {
        script.replace(lst, 4, ".ssi");
        return;
    }
    throw UserErrorException(17, script + " has no .ssi or .lst extension");
}

std::shared_ptr<const SiocParameters> sioc::getSiocParameters(const std::stop_token& stop)
{
    std::optional<SiocParameters> cfg = gf_readCfgSiocKeys();
    if (cfg && cfg->host && cfg->port && cfg->script)
        return lf_validated(std::move(*cfg), "Talvesync.cfg");

    const std::shared_ptr<DriveProvider> drives = g_driveProvider;
    std::optional<std::filesystem::path> folder;
    if (drives)
        folder = gf_findSiocFolder(*drives, stop);
    const std::optional<SiocParameters> ini = gf_readSiocIni(folder.value_or(std::filesystem::current_path()));

    if (cfg && ini) {
        if (!cfg->host)
            cfg->host = ini->host;
        if (!cfg->port) {
            cfg->port = ini->port;
            if (!cfg->rejectedPort)
                cfg->rejectedPort = ini->rejectedPort;
        }
        if (!cfg->script)
            cfg->script = ini->script;
        return lf_validated(std::move(*cfg), "merge of sioc.ini and  Talvesync.cfg");
    }
    if (cfg)
        return lf_validated(std::move(*cfg), "Talvesync.cfg");
    if (ini)
        return lf_validated(*ini, "sioc.ini");
    const std::string problem = gf_notARegularFile(kCfgFilePath);
    throw UserErrorException(11, "sioc.ini and Talvesync.cfg not found" + (problem.empty() ? "" : " (" + problem + ")"));
}

} // namespace brg
