#pragma once
// The number lists of Talvesync.cfg: three narrow the traces of received PSX lines, two narrow the
// variables found in the SIOC script. Filled once at start-up, before the connections open.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brg {

class CfgFile;

using NumberList = std::set<std::int32_t>;

extern NumberList g_qhTraceList; // Qh_VarList
extern NumberList g_qiTraceList; // Qi_VarList
extern NumberList g_qsTraceList; // Qs_VarList
extern NumberList g_whitelist;   // WHITELIST
extern NumberList g_blacklist;   // BLACKLIST

// The highest number accepted in each trace list.
inline constexpr std::int32_t kQhTraceMax = 430;
inline constexpr std::int32_t kQiTraceMax = 274;
inline constexpr std::int32_t kQsTraceMax = 561;

// Whether a received line of number n is traced: the list is empty or holds n.
bool gf_traceListAllows(const NumberList& list, std::uint32_t n);

// A list value: comma-separated integers, blanks around each allowed. The list ends before the
// first item that is no integer, which is kept in badItem.
struct ParsedNumberList {
    std::vector<std::int32_t> numbers;
    std::optional<std::string> badItem;
};
ParsedNumberList gf_parseNumberList(std::string_view value);

// Reads Qh_VarList, Qi_VarList, Qs_VarList, BLACKLIST and WHITELIST in this order. A list holds
// the numbers before its first item that is no integer (the configuration check names that item).
void gf_readSelectionLists(const CfgFile& file);

// Narrows the variables found in the SIOC script: the whitelist keeps, or else the blacklist drops.
void gf_applySelectionLists(std::set<std::uint32_t>& detected);

void gf_clearSelectionLists();

} // namespace brg
