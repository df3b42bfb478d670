#include "app/process_state.h"
#include "config/cdu_key_map.h"
#include "config/config_file.h"
#include "config_test_fixture.h"

#include <gmock/gmock.h>
#include <string>

namespace brg {
namespace {

using CduKeyMapTest = test::ConfigTest;
using Lines = std::vector<std::string>;

// OCCDU=0 and key i on code i + shift, with one line replaced where asked.
std::string lf_userMap(std::uint32_t shift, const std::string& replaceName = "", const std::string& replacement = "")
{
    std::string cfg = "OCCDU=0\n";
    for (std::uint32_t i = 0; i < kCduKeyCount; ++i) {
        const std::string name(gf_cduKeyName(i));
        cfg += name == replaceName ? replacement : name + " = " + std::to_string(i + shift) + "\n";
    }
    return cfg;
}

void lf_expectBuiltInMap()
{
    EXPECT_EQ(gf_cduKeyForCode(7), 0U);   // DIG_0
    EXPECT_EQ(gf_cduKeyForCode(1), 39U);  // KEY_CLR
    EXPECT_EQ(gf_cduKeyForCode(6), 68U);  // KEY_PLUSMINUS
    EXPECT_EQ(gf_cduKeyForCode(88), 45U); // LSK_L5
    EXPECT_EQ(gf_cduKeyForCode(40), kNoCduKey);
}

// A user map replaces the built-in one only with OCCDU=0; its key names are matched without regard
// to case, and the first line of a name counts.
TEST_F(CduKeyMapTest, BuiltInMapHasEveryKeyOnceAndACompleteUserMapReplacesItWithOccduZero)
{
    lf_expectBuiltInMap();
    std::vector<int> seen(kCduKeyCount, 0);
    for (std::uint32_t code = 0; code < kCduKeyCodeCount + 2; ++code)
        if (const std::uint32_t key = gf_cduKeyForCode(code); key != kNoCduKey)
            ++seen.at(key);
    EXPECT_EQ(seen, std::vector<int>(kCduKeyCount, 1));
    EXPECT_EQ(gf_cduKeyForCode(0xFFFFFFFFU), kNoCduKey);

    for (const std::string occdu : {"", "OCCDU=1\n", "OCCDU = 00x\n"}) {
        writeCfg(occdu + "DIG_0=40\n");
        gf_readCduKeyMap(*CfgFile::load());
        lf_expectBuiltInMap();
    }
    EXPECT_TRUE(logLines().empty());

    std::string cfg = "dig_0 = 88\n" + lf_userMap(1); // before DIG_0 = 1
    cfg.replace(cfg.find("KEY_PLUSMINUS = 69"), 18, "KEY_PLUSMINUS = 0");
    writeCfg(cfg);
    gf_readCduKeyMap(*CfgFile::load());
    for (std::uint32_t i = 1; i + 1 < kCduKeyCount; ++i)
        EXPECT_EQ(gf_cduKeyForCode(i + 1), i);
    EXPECT_EQ(gf_cduKeyForCode(88), 0U);
    EXPECT_EQ(gf_cduKeyForCode(1), kNoCduKey);
    EXPECT_EQ(gf_cduKeyForCode(0), 68U);
    EXPECT_EQ(logLines(), (Lines{"", "OCCDU=0", "Searching for USB-Keys definitions...",
                                 "All CDU USB-Keys codes found and correct!", ""}));
    gf_resetProcessState(); // a fresh state brings the built-in map back
    lf_expectBuiltInMap();
}

TEST_F(CduKeyMapTest, EveryFaultIsReportedInOnePassAndTheBuiltInMapStays)
{
    // KEY_DOT missing, LSK_L1 on code 89, DIG_1 on DIG_0's code, KEY_CLR with a minus.
    std::string cfg = lf_userMap(0, "KEY_DOT", "");
    cfg.replace(cfg.find("LSK_L1 = 41"), 11, "LSK_L1 = 89");
    cfg.replace(cfg.find("DIG_1 = 1"), 9, "DIG_1 = 0");
    cfg.replace(cfg.find("KEY_CLR = 39"), 12, "KEY_CLR = -1");
    writeCfg(cfg);
    gf_readCduKeyMap(*CfgFile::load());
    lf_expectBuiltInMap();
    EXPECT_EQ(logLines(), (Lines{"", "OCCDU=0", "Searching for USB-Keys definitions...", "Key code: 0 already used...",
                                 "Wrong key code: 4294967295", "Wrong key code: 89", "KEY_DOT is missing ..."}));
}

} // namespace
} // namespace brg
