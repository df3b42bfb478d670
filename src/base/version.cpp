#include "base/version.h"

#include "base/str2int32.h"

#include <nlohmann/json.hpp>
#include <regex>

namespace brg {

Version base::parseVersion(const std::string& text)
{
    static const std::regex dotted(R"((\d+).(\d+).(\d+))");
    std::smatch m;
    if (std::regex_match(text, m, dotted))
        return {base::str2int32(m.str(1)), base::str2int32(m.str(2)), base::str2int32(m.str(3))};
    const auto doc = nlohmann::json::parse(text);
    return {doc.at("major").get<std::int32_t>(), doc.at("minor").get<std::int32_t>(),
            doc.at("patch").get<std::int32_t>()};
}

const Version& base::programVersion()
{
    static const Version version = base::parseVersion(kProgramVersion);
    return version;
}

} // namespace brg
