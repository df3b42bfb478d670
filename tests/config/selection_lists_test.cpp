#include "config/selection_lists.h"
#include "config_test_fixture.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using SelectionListsTest = test::ConfigTest;
using Detected = std::set<std::uint32_t>;

TEST(TraceList, AllowsItsNumbersOrAllWhenEmpty)
{
    EXPECT_TRUE(gf_traceListAllows(NumberList{5, 561}, 561));
    EXPECT_FALSE(gf_traceListAllows(NumberList{5, 561}, 562));
    EXPECT_TRUE(gf_traceListAllows(NumberList{}, 0xFFFFFFFFU));
}

// A whitelist keeps only its numbers and overrides the blacklist; a blacklist drops its numbers.
TEST_F(SelectionListsTest, ListsSelectTheDetectedNumbersAndSayWhatTheyDid)
{
    const struct {
        NumberList white, black;
        Detected detected, kept;
        std::vector<std::string> logged;
    } rows[] = {
        {{1001, 1002}, {1001}, {1000, 1001}, {1001},
         {"Var 1001 whitelisted", "Var 1002 of your white list does not occur in CONFIG_FILE ...",
          "You cannot have a WHITELIST and a BLACKLIST; the latter is ignored!"}},
        {{-4, 1002}, {1000}, {1000, 1001}, {},
         {"Var -4 of your white list does not occur in CONFIG_FILE ...",
          "Var 1002 of your white list does not occur in CONFIG_FILE ...",
          "The WHITELIST does not contain valid Talvesync variable numbers!"}},
        {{}, {999, 1001}, {1000, 1001, 5688}, {1000, 5688},
         {"Var 999 of your black list does not occur in CONFIG_FILE ...", "Var 1001 blacklisted"}},
        {{}, {}, {1000, 5688}, {1000, 5688}, {}},
    };
    for (const auto& row : rows) {
        restartLog();
        g_whitelist = row.white;
        g_blacklist = row.black;
        Detected detected = row.detected;
        gf_applySelectionLists(detected);
        EXPECT_EQ(detected, row.kept);
        EXPECT_EQ(logLines(), row.logged);
    }
}

} // namespace
} // namespace brg
