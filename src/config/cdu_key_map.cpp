#include "config/cdu_key_map.h"

#include "base/log.h"
#include "base/str2int32.h"
#include "config/config_file.h"

#include <array>
#include <atomic>
#include <fmt/format.h>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace brg {

namespace {

struct CduKey {
    std::string_view name;
    std::uint32_t builtInCode;
};

// In key index order.
constexpr std::array<CduKey, kCduKeyCount> kCduKeys{{
    {"DIG_0", 7},        {"DIG_1", 32},       {"DIG_2", 31},       {"DIG_3", 30},
    {"DIG_4", 24},       {"DIG_5", 23},       {"DIG_6", 22},       {"DIG_7", 16},
    {"DIG_8", 15},       {"DIG_9", 14},       {"LET_A", 61},       {"LET_B", 60},
    {"LET_C", 59},       {"LET_D", 58},       {"LET_E", 57},       {"LET_F", 53},
    {"LET_G", 52},       {"LET_H", 51},       {"LET_I", 50},       {"LET_J", 49},
    {"LET_K", 29},       {"LET_L", 28},       {"LET_M", 27},       {"LET_N", 26},
    {"LET_O", 25},       {"LET_P", 21},       {"LET_Q", 20},       {"LET_R", 19},
    {"LET_S", 18},       {"LET_T", 17},       {"LET_U", 13},       {"LET_V", 12},
    {"LET_W", 11},       {"LET_X", 10},       {"LET_Y", 9},        {"LET_Z", 5},
    {"KEY_SP", 4},       {"KEY_DEL", 3},      {"KEY_SLASH", 2},    {"KEY_CLR", 1},
    {"KEY_EXEC", 66},    {"LSK_L1", 56},      {"LSK_L2", 64},      {"LSK_L3", 72},
    {"LSK_L4", 80},      {"LSK_L5", 88},      {"LSK_L6", 87},      {"KEY_MENU", 63},
    {"KEY_NAVRAD", 62},  {"KEY_PREV", 55},    {"KEY_NEXT", 54},    {"LSK_R1", 86},
    {"LSK_R2", 85},      {"LSK_R3", 84},      {"LSK_R4", 83},      {"LSK_R5", 82},
    {"LSK_R6", 74},      {"KEY_INITREF", 79}, {"KEY_RTE", 78},     {"KEY_DEPARR", 77},
    {"KEY_ATC", 76},     {"KEY_VNAV", 75},    {"KEY_FIX", 71},     {"KEY_LEGS", 70},
    {"KEY_HOLD", 69},    {"KEY_FMCCOMM", 68}, {"KEY_PROG", 67},    {"KEY_DOT", 8},
    {"KEY_PLUSMINUS", 6},
}};

using KeyTable = std::array<std::uint32_t, kCduKeyCodeCount>;

constexpr KeyTable lf_emptyTable()
{
    KeyTable table{};
    table.fill(kNoCduKey);
    return table;
}

constexpr KeyTable lf_builtInTable()
{
    KeyTable table = lf_emptyTable();
    for (std::uint32_t index = 0; index < kCduKeyCount; ++index)
        table[kCduKeys[index].builtInCode] = index;
    return table;
}

constexpr KeyTable kBuiltInTable = lf_builtInTable();

template <std::size_t... Code>
constexpr std::array<std::atomic<std::uint32_t>, sizeof...(Code)> lf_atomicTable(const KeyTable& table,
                                                                                  std::index_sequence<Code...>)
{
    return {{std::atomic<std::uint32_t>(table[Code])...}};
}

// Read by the worker thread while the start-up thread may install a user map; holds the built-in
// map from before any code runs.
constinit std::array<std::atomic<std::uint32_t>, kCduKeyCodeCount> g_cduKeyMap =
    lf_atomicTable(kBuiltInTable, std::make_index_sequence<kCduKeyCodeCount>{});

void lf_install(const KeyTable& table)
{
    for (std::size_t code = 0; code < table.size(); ++code)
        g_cduKeyMap[code].store(table[code]);
}

// An unsigned conversion of 32 bits, as the Windows program has always done it: a leading "-"
// wraps around, a magnitude beyond 32 bits is out of range.
std::uint32_t lf_toKeyCode(std::string_view digits)
{
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > 0xFFFFFFFFULL)
            throw std::out_of_range("stoul argument out of range");
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? 0U - value : value;
}

} // namespace

const char* gf_cduKeyName(std::uint32_t index) { return kCduKeys.at(index).name.data(); }

std::uint32_t gf_cduKeyBuiltInCode(std::uint32_t index) { return kCduKeys.at(index).builtInCode; }

std::uint32_t gf_cduKeyForCode(std::uint32_t code)
{
    return code < kCduKeyCodeCount ? g_cduKeyMap[code].load() : kNoCduKey;
}

void gf_readCduKeyMap(const CfgFile& file)
{
    const auto occdu = file.lookup(CfgPattern::Integer, "OCCDU");
    if (!occdu || base::str2int32(*occdu) != 0)
        return;
    g_log.write("\nOCCDU=0\nSearching for USB-Keys definitions...");

    KeyTable table = lf_emptyTable();
    bool failed = false;
    for (std::uint32_t index = 0; index < kCduKeyCount; ++index) {
        const std::string_view name = kCduKeys[index].name;
        const auto digits = file.lookup(CfgPattern::Integer, name);
        if (!digits) {
            g_log.write(fmt::format("{} is missing ...", name));
            failed = true;
            continue;
        }
        const std::uint32_t code = lf_toKeyCode(*digits);
        if (code >= kCduKeyCodeCount) {
            g_log.write(fmt::format("Wrong key code: {}", code));
            failed = true;
        } else if (table[code] != kNoCduKey) {
            g_log.write(fmt::format("Key code: {} already used...", code));
            failed = true;
        } else {
            table[code] = index;
        }
    }
    if (failed)
        return;
    g_log.write("All CDU USB-Keys codes found and correct!\n");
    lf_install(table);
}

void gf_resetCduKeyMap() { lf_install(kBuiltInTable); }

} // namespace brg
