#include "app/process_state.h"
#include "config/cdu_key_map.h"
#include "config/config_file.h"
#include "config/config_reader.h"
#include "config_test_fixture.h"

#include <gmock/gmock.h>
#include <stdexcept>
#include <string>

namespace brg {
namespace {

using ::testing::Contains;
using ::testing::Not;
using CduKeyMapTest = test::ConfigTest;

// OCCDU=0 and key i on code (i + shift) % 89, with one line replaced where asked.
std::string lf_userMap(int shift, const std::string& replaceName = "", const std::string& replacement = "")
{
    std::string cfg = "OCCDU=0\n";
    for (std::uint32_t i = 0; i < kCduKeyCount; ++i) {
        if (gf_cduKeyName(i) == replaceName) {
            cfg += replacement;
            continue;
        }
        cfg += std::string(gf_cduKeyName(i)) + " = " + std::to_string((i + static_cast<std::uint32_t>(shift)) % 89) + "\n";
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

TEST_F(CduKeyMapTest, BuiltInMapHasEveryKeyOnceAndNothingOnTheFreeCodes)
{
    lf_expectBuiltInMap();
    std::vector<int> seen(kCduKeyCount, 0);
    int free = 0;
    for (std::uint32_t code = 0; code < kCduKeyCodeCount; ++code) {
        const std::uint32_t key = gf_cduKeyForCode(code);
        if (key == kNoCduKey)
            ++free;
        else
            ++seen.at(key);
    }
    EXPECT_THAT(seen, Not(Contains(::testing::Ne(1))));
    EXPECT_EQ(free, 20); // 0, 33 to 48, 65, 73, 81
    for (std::uint32_t code : {0U, 33U, 48U, 65U, 73U, 81U})
        EXPECT_EQ(gf_cduKeyForCode(code), kNoCduKey) << code;
    EXPECT_EQ(gf_cduKeyForCode(89), kNoCduKey);
    EXPECT_EQ(gf_cduKeyForCode(0xFFFFFFFFU), kNoCduKey);
}

TEST_F(CduKeyMapTest, WithoutOccduZeroTheBuiltInMapStaysSilently)
{
    for (const std::string occdu : {"", "OCCDU=1\n", "OCCDU = 00x\n"}) {
        writeCfg(occdu + "DIG_0=40\n");
        gf_readCduKeyMap(*CfgFile::load());
        lf_expectBuiltInMap();
    }
    EXPECT_TRUE(logLines().empty());
}

TEST_F(CduKeyMapTest, CompleteUserMapIsInstalledAndUnusedCodesHaveNoKey)
{
    writeCfg(lf_userMap(20));
    gf_readCduKeyMap(*CfgFile::load());
    for (std::uint32_t i = 0; i < kCduKeyCount; ++i)
        EXPECT_EQ(gf_cduKeyForCode((i + 20) % 89), i);
    EXPECT_EQ(gf_cduKeyForCode(0), kNoCduKey); // 89 - 20 = 69 keys end before code 0 comes round
    EXPECT_EQ(gf_cduKeyForCode(7), kNoCduKey);
    EXPECT_EQ(logLines(), (std::vector<std::string>{"", "OCCDU=0", "Searching for USB-Keys definitions...",
                                                    "All CDU USB-Keys codes found and correct!", ""}));

    // A fresh state brings the built-in map back.
    gf_resetProcessState();
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
    EXPECT_EQ(logLines(), (std::vector<std::string>{"", "OCCDU=0", "Searching for USB-Keys definitions...",
                                                    "Key code: 0 already used...", "Wrong key code: 4294967295",
                                                    "Wrong key code: 89", "KEY_DOT is missing ..."}));
}

TEST_F(CduKeyMapTest, CodeBeyond32BitsEndsTheConfigurationReading)
{
    writeCfg(lf_userMap(0, "DIG_3", "DIG_3=4294967296\n") + "CDU_R=1\n");
    gf_getCfgData();
    lf_expectBuiltInMap();
    EXPECT_TRUE(logHas("! Exception in gf_getCfgData"));
    EXPECT_FALSE(logHas("CDU_R=1")); // read after the key map, so never reached

    writeCfg("OCCDU=0\nDIG_0=4294967296\n");
    EXPECT_THROW(gf_readCduKeyMap(*CfgFile::load()), std::out_of_range);
}

TEST_F(CduKeyMapTest, KeyNamesAreMatchedWithoutRegardToCaseAndTheFirstLineWins)
{
    std::string cfg = lf_userMap(1);
    cfg = "dig_0 = 88\n" + cfg; // before DIG_0 = 1
    cfg.replace(cfg.find("KEY_PLUSMINUS = 69"), 18, "KEY_PLUSMINUS = 0");
    writeCfg(cfg);
    gf_readCduKeyMap(*CfgFile::load());
    EXPECT_EQ(gf_cduKeyForCode(88), 0U);
    EXPECT_EQ(gf_cduKeyForCode(1), kNoCduKey);
    EXPECT_EQ(gf_cduKeyForCode(0), 68U);
}

} // namespace
} // namespace brg
