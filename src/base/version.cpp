#include "base/version.h"

#include "base/str2int32.h"

#include <nlohmann/json.hpp>
#include <regex>

namespace brg {

Version parseVersion(const std::string& text)
{
    static const std::regex dotted(R"((\d+).(\d+).(\d+))");
    std::smatch m;
    if (std::regex_match(text, m, dotted))
        return {str2int32(m.str(1)), str2int32(m.str(2)), str2int32(m.str(3))};
    const auto doc = nlohmann::json::parse(text);
    return {doc.at("major").get<std::int32_t>(), doc.at("minor").get<std::int32_t>(),
            doc.at("patch").get<std::int32_t>()};
}

const Version& programVersion()
{
    static const Version version = parseVersion(kProgramVersion);
    return version;
}

} // namespace brg
