#include "sioc/sioc_sources.h"

#include "base/log.h"
#include "base/str2int32.h"
#include "config/config_file.h"
#include "sioc/path_text.h"

#include <fmt/core.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace brg {
namespace {

// A port number wider than 16 bits would wrap to some other server's port, and no server listens
// on port 0: neither is taken.
void lf_readPort(const CfgFile& file, const char* source, SiocParameters& parameters)
{
    const std::optional<std::string> text = file.lookup(CfgPattern::Integer, SiocParameters::kPortKey);
    if (!text)
        return;
    std::int32_t port = -1;
    try {
        port = base::str2int32(*text);
    } catch (const std::invalid_argument&) {
    }
    if (port > 0 && port <= std::numeric_limits<std::uint16_t>::max()) {
        parameters.port = static_cast<std::uint16_t>(port);
        return;
    }
    parameters.rejectedPort = *text;
    g_log.write(fmt::format("{}={} in {} is not a port number", SiocParameters::kPortKey, *text, source));
}

// An address or a host name (resolved at each connection attempt); anything else is not taken, and
// the log says why.
void lf_readHost(const CfgFile& file, SiocParameters& parameters)
{
    parameters.host = file.lookup(CfgPattern::Host, SiocParameters::kHostKey);
    if (parameters.host)
        return;
    const std::optional<std::string> text = file.lookup(CfgPattern::Text, SiocParameters::kHostKey);
    if (!text)
        return;
    parameters.rejectedHost = *text;
    g_log.write(fmt::format("{}={} in {} is not an IPv4 address or host name", SiocParameters::kHostKey, *text,
                            kCfgFilePath));
}

} // namespace

std::optional<SiocParameters> gf_readCfgSiocKeys()
{
    const std::optional<CfgFile> file = CfgFile::load(kCfgFilePath);
    if (!file)
        return std::nullopt;
    SiocParameters parameters;
    lf_readHost(*file, parameters);
    lf_readPort(*file, kCfgFilePath, parameters);
    parameters.script = file->lookup(CfgPattern::Text, SiocParameters::kScriptKey);
    return parameters;
}

std::optional<SiocParameters> gf_readSiocIni(const std::filesystem::path& siocFolder)
{
    const std::optional<CfgFile> file = CfgFile::load(gf_pathText(siocFolder / "sioc.ini"));
    if (!file)
        return std::nullopt;
    SiocParameters parameters;
    // SIOC serves on this machine; sioc.ini is not asked for an address.
    parameters.host = "127.0.0.1";
    lf_readPort(*file, "sioc.ini", parameters);
    if (auto script = file->lookup(CfgPattern::Text, SiocParameters::kScriptKey); script && !script->empty())
        parameters.script = gf_resolveScriptPath(std::move(*script), siocFolder);
    return parameters;
}

std::string gf_resolveScriptPath(std::string value, const std::filesystem::path& siocFolder)
{
    // Only a leading ".\" means "here": one inside the value ("..\x.ssi") is part of the path.
    if (value.starts_with(".\\"))
        value.erase(0, 2);
    else if (value.find(":\\") != std::string::npos)
        return value;
    // sioc.ini is written on Windows; its separators are backslashes on every platform.
    std::replace(value.begin(), value.end(), '\\', '/');
    return gf_pathText((siocFolder / gf_textPath(value)).make_preferred());
}

} // namespace brg
