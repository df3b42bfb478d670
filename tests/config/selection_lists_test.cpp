#include "config/config_file.h"
#include "config/selection_lists.h"
#include "config_test_fixture.h"

#include <gmock/gmock.h>
#include <stdexcept>

namespace brg {
namespace {

using ::testing::ElementsAre;
using SelectionListsTest = test::ConfigTest;
using Detected = std::set<std::uint32_t>;

void lf_read() { gf_readSelectionLists(*CfgFile::load()); }

TEST_F(SelectionListsTest, TraceListsKeepTheirRangeAndReportTheRest)
{
    writeCfg("Qs_VarList=5,561,562,-3\nQh_VarList = 430,431,,0\nQi_VarList=274,275,0\n");
    lf_read();
    EXPECT_EQ(g_qsTraceList, (NumberList{5, 561}));
    EXPECT_EQ(g_qhTraceList, (NumberList{0, 430}));
    EXPECT_EQ(g_qiTraceList, (NumberList{0, 274}));
    EXPECT_THAT(logLines(), ElementsAre("Qh_VarList=430,431,,0", "Qh varlist processing: 431 is not a Qh var",
                                        "Qi_VarList=274,275,0", "Qi varlist processing: 275 is not a Qi var",
                                        "Qs_VarList=5,561,562,-3", "Qs varlist processing: 562 is not a Qs var",
                                        "BLACKLIST=", "WHITELIST="));
    EXPECT_TRUE(gf_traceListAllows(g_qsTraceList, 561));
    EXPECT_FALSE(gf_traceListAllows(g_qsTraceList, 562));
    EXPECT_TRUE(gf_traceListAllows(NumberList{}, 0xFFFFFFFFU)); // an empty list allows all
}

TEST_F(SelectionListsTest, NumberListsTakeAnyIntegerAndStopAtTheFirstBadItem)
{
    writeCfg("WHITELIST=-1,99999,1000\nBLACKLIST=1000, 1001\n");
    EXPECT_THROW(lf_read(), std::invalid_argument);
    EXPECT_EQ(g_blacklist, NumberList{1000});
    EXPECT_TRUE(g_whitelist.empty()); // read after the blacklist

    gf_clearSelectionLists();
    writeCfg("WHITELIST=-1,99999,1000\nBLACKLIST=12a\n");
    EXPECT_THROW(lf_read(), std::invalid_argument);
    writeCfg("WHITELIST=-1,99999,1000\n");
    lf_read();
    EXPECT_EQ(g_whitelist, (NumberList{-1, 1000, 99999}));
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
