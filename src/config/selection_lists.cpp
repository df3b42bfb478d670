#include "config/selection_lists.h"

#include "base/log.h"
#include "base/str2int32.h"
#include "config/config_file.h"

#include <algorithm>
#include <fmt/format.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brg {

NumberList g_qhTraceList;
NumberList g_qiTraceList;
NumberList g_qsTraceList;
NumberList g_whitelist;
NumberList g_blacklist;

namespace {

// Calls take(n) for each number of the key's value, in order; no value, no numbers.
template <typename Take>
void lf_readList(const CfgFile& file, std::string_view key, Take take)
{
    const std::string value = file.lookup(CfgPattern::Text, key).value_or("");
    g_log.write(fmt::format("{}={}", key, value));
    for (std::int32_t n : gf_parseNumberList(value).numbers)
        take(n);
}

void lf_readTraceList(const CfgFile& file, std::string_view key, std::string_view kind, std::int32_t max,
                      NumberList& list)
{
    lf_readList(file, key, [&](std::int32_t n) {
        if (n < 0)
            return;
        if (n > max) {
            g_log.write(fmt::format("{} varlist processing: {} is not a {} var", kind, n, kind));
            return;
        }
        list.insert(n);
    });
}

void lf_readNumberList(const CfgFile& file, std::string_view key, NumberList& list)
{
    lf_readList(file, key, [&](std::int32_t n) { list.insert(n); });
}

bool lf_contains(const std::set<std::uint32_t>& detected, std::int32_t n)
{
    return n >= 0 && detected.count(static_cast<std::uint32_t>(n)) > 0;
}

} // namespace

ParsedNumberList gf_parseNumberList(std::string_view value)
{
    ParsedNumberList list;
    std::size_t begin = 0;
    while (begin < value.size()) {
        const std::size_t end = std::min(value.find(',', begin), value.size());
        const std::string_view item = gf_trimBlanks(value.substr(begin, end - begin));
        begin = end + 1;
        // Nothing between two commas is no item, as it has always been.
        if (item.empty())
            continue;
        try {
            list.numbers.push_back(base::str2int32(item));
        } catch (const std::invalid_argument&) {
            list.badItem = std::string(item);
            break;
        }
    }
    return list;
}

bool gf_traceListAllows(const NumberList& list, std::uint32_t n)
{
    return list.empty() || (n <= 0x7FFFFFFFU && list.count(static_cast<std::int32_t>(n)) > 0);
}

void gf_readSelectionLists(const CfgFile& file)
{
    lf_readTraceList(file, "Qh_VarList", "Qh", kQhTraceMax, g_qhTraceList);
    lf_readTraceList(file, "Qi_VarList", "Qi", kQiTraceMax, g_qiTraceList);
    lf_readTraceList(file, "Qs_VarList", "Qs", kQsTraceMax, g_qsTraceList);
    lf_readNumberList(file, "BLACKLIST", g_blacklist);
    lf_readNumberList(file, "WHITELIST", g_whitelist);
}

void gf_applySelectionLists(std::set<std::uint32_t>& detected)
{
    if (!g_whitelist.empty()) {
        std::set<std::uint32_t> kept;
        for (std::int32_t n : g_whitelist) {
            if (lf_contains(detected, n)) {
                kept.insert(static_cast<std::uint32_t>(n));
                g_log.write(fmt::format("Var {} whitelisted", n));
            } else {
                g_log.write(fmt::format("Var {} of your white list does not occur in CONFIG_FILE ...", n));
            }
        }
        detected = std::move(kept);
        if (detected.empty())
            g_log.write("The WHITELIST does not contain valid Talvesync variable numbers!");
        else if (!g_blacklist.empty())
            g_log.write("You cannot have a WHITELIST and a BLACKLIST; the latter is ignored!");
        return;
    }
    for (std::int32_t n : g_blacklist) {
        if (lf_contains(detected, n)) {
            detected.erase(static_cast<std::uint32_t>(n));
            g_log.write(fmt::format("Var {} blacklisted", n));
        } else {
            g_log.write(fmt::format("Var {} of your black list does not occur in CONFIG_FILE ...", n));
        }
    }
}

void gf_clearSelectionLists()
{
    for (NumberList* list : {&g_qhTraceList, &g_qiTraceList, &g_qsTraceList, &g_whitelist, &g_blacklist})
        list->clear();
}

} // namespace brg
