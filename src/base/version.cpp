#include "base/version.h"

#include "base/str2int32.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdint>
#include <regex>
#include <stdexcept>
#include <string>

namespace brg {
namespace {

// A number of the JSON form as the 32-bit field it becomes; one beyond that range is no version.
std::int32_t lf_versionField(const nlohmann::json& doc, const char* key)
{
    const double value = doc.at(key).get<double>();
    if (!(value >= INT32_MIN && value <= INT32_MAX))
        throw std::out_of_range(std::string("version field out of range: ") + key);
    return static_cast<std::int32_t>(value);
}

} // namespace

Version base::parseVersion(const std::string& text)
{
    static const std::regex dotted(R"((\d+).(\d+).(\d+))");
    std::smatch m;
    if (std::regex_match(text, m, dotted))
        return {base::str2int32(m.str(1)), base::str2int32(m.str(2)), base::str2int32(m.str(3))};
    const auto doc = nlohmann::json::parse(text);
    return {lf_versionField(doc, "major"), lf_versionField(doc, "minor"), lf_versionField(doc, "patch")};
}

const Version& base::programVersion()
{
    static const Version version = base::parseVersion(kProgramVersion);
    return version;
}

} // namespace brg
