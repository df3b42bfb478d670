#include "config/config_check.h"

#include "base/str2int32.h"
#include "config/config_file.h"
#include "config/cdu_key_map.h"
#include "config/config_keys.h"
#include "config/params.h"
#include "config/selection_lists.h"

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <map>
#include <stdexcept>

namespace brg {

namespace {

// What a value of this kind must be, for a value its pattern does not take.
const char* lf_expected(CfgKind kind)
{
    switch (kind) {
    case CfgKind::Switch:
        return "is not 0 or 1";
    case CfgKind::Integer:
    case CfgKind::CduKeyCode:
        return "is not a whole number";
    case CfgKind::Address:
        return "is not an IPv4 address or host name";
    case CfgKind::Text:
    case CfgKind::NumberList:
        break;
    }
    return "has no value";
}

// What the program goes on with instead of the line.
std::string lf_instead(const CfgKey& key)
{
    return key.item ? fmt::format("{} is used", key.item->valueText()) : std::string("the line is ignored");
}

// A taken line can still hold what the key cannot use: a list item that is no number, or an
// integer beyond its item's range.
std::optional<std::string> lf_takenLineProblem(const CfgKey& key, const CfgSetting& setting)
{
    if (key.kind == CfgKind::NumberList) {
        if (const auto bad = gf_parseNumberList(setting.value).badItem)
            return fmt::format("{}: '{}' is not a number", key.key, *bad);
        return std::nullopt;
    }
    const auto* item = dynamic_cast<const IntParam*>(key.item);
    if (!item)
        return std::nullopt;
    try {
        const std::int32_t value = base::str2int32(setting.value);
        if (value >= item->minimum() && value <= item->maximum())
            return std::nullopt;
    } catch (const std::invalid_argument&) {
        // Too large for 32 bits: outside the range as well.
    }
    return fmt::format("{} = {} is not within {} to {}, {}", key.key, setting.value, item->minimum(), item->maximum(),
                       lf_instead(key));
}

std::optional<std::string> lf_problem(const CfgFile& file, std::size_t index)
{
    const std::string& line = file.lines()[index];
    if (gf_isBlankOrComment(line))
        return std::nullopt;
    const auto setting = gf_splitCfgLine(line);
    if (!setting)
        return fmt::format("'{}' is not a setting (KEY = value) and not a comment", gf_trimBlanks(line));
    const CfgKey* key = gf_findCfgKey(setting->key);
    if (!key)
        return fmt::format("{} is not a known key", setting->key);
    // An empty list is what a missing one is.
    if (key->kind == CfgKind::NumberList && setting->value.empty())
        return std::nullopt;
    const auto taken = file.lineOf(gf_patternOf(key->kind), key->key);
    if (taken == index)
        return lf_takenLineProblem(*key, *setting);
    if (taken && *taken < index)
        return fmt::format("{} is set on line {} already, this line is ignored", key->key, *taken + 1);
    if (setting->value.empty())
        return fmt::format("{} has no value, {}", key->key, lf_instead(*key));
    return fmt::format("{} = {} {}, {}", key->key, setting->value, lf_expected(key->kind), lf_instead(*key));
}

// The code a CDU key has in the map in force.
std::string lf_cduKeyCode(std::string_view name)
{
    for (std::uint32_t code = 0; code < kCduKeyCodeCount; ++code) {
        const std::uint32_t index = gf_cduKeyForCode(code);
        if (index < kCduKeyCount && name == gf_cduKeyName(index))
            return std::to_string(code);
    }
    return "none";
}

std::string lf_valueLine(const CfgFile& file, const CfgKey& key)
{
    if (key.item)
        return fmt::format("{}={}", key.key, key.item->valueText());
    if (key.kind == CfgKind::CduKeyCode)
        return fmt::format("{}={}", key.key, lf_cduKeyCode(key.key));
    const std::map<std::string_view, const NumberList*> lists = {{"Qh_VarList", &g_qhTraceList},
        {"Qi_VarList", &g_qiTraceList}, {"Qs_VarList", &g_qsTraceList}, {"BLACKLIST", &g_blacklist},
        {"WHITELIST", &g_whitelist}};
    if (const auto list = lists.find(key.key); list != lists.end())
        return fmt::format("{}={}", key.key, fmt::join(*list->second, ","));
    if (const auto value = file.lookup(gf_patternOf(key.kind), key.key))
        return fmt::format("{}={}", key.key, *value);
    return fmt::format("{} is not set", key.key);
}

} // namespace

std::vector<CfgFinding> gf_checkCfgFile(const CfgFile& file)
{
    std::vector<CfgFinding> findings;
    for (std::size_t index = 0; index < file.lines().size(); ++index)
        if (auto why = lf_problem(file, index))
            findings.push_back({index + 1, std::move(*why)});
    return findings;
}

std::string gf_checkReport(const CfgFile& file, const std::vector<CfgFinding>& findings)
{
    std::string text;
    for (const CfgFinding& finding : findings)
        text += gf_findingText(finding) + "\n";
    if (findings.empty())
        text += fmt::format("Every line of {} is understood.\n", kCfgFilePath);
    else
        text += fmt::format("{} of {} not understood.\n",
                            findings.size() == 1 ? std::string("1 line") : fmt::format("{} lines", findings.size()),
                            kCfgFilePath);
    text += "\nThe value of every key:\n";
    for (const CfgKey& key : gf_cfgKeys())
        text += lf_valueLine(file, key) + "\n";
    return text;
}

std::string gf_findingText(const CfgFinding& finding)
{
    return fmt::format("{} line {}: {}", kCfgFilePath, finding.line, finding.why);
}

std::string gf_findingsNote(const std::vector<CfgFinding>& findings)
{
    if (findings.empty())
        return {};
    if (findings.size() == 1)
        return gf_findingText(findings.front());
    return fmt::format("{} lines of {} not understood, see Log.txt", findings.size(), kCfgFilePath);
}

} // namespace brg
