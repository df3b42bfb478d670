#include "app/process_state.h"
#include "config/config_reader.h"
#include "config/selection_lists.h"
#include "config_test_fixture.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace brg {
namespace {

using ConfigReaderTest = test::ConfigTest;
using Lines = std::vector<std::string>;

// Talvesync.cfg as the start-up reads it: the values it leaves and what the log says.
struct ReadCase {
    std::string cfg;
    std::vector<std::pair<std::string, std::string>> values = {};
    Lines logged = {};
    Lines notLogged = {};
    bool cduMode = false;
};

TEST_F(ConfigReaderTest, KeysAreReadMatchedWholeAndClamped)
{
    const std::vector<ReadCase> cases = {
        // Without regard to case, the first matching line; any digit but 1 is false; no match: the default.
        {"  version_check=0  \nMONITOR_PSX_OUT = 1\nMONITOR_PSX_OUT = 0\nSQUAWK_AS_INT = 2\nAUTOBRAKES_DOMINANT = 10\n"
         "FIRE_APU_DOMINANT = yes\nInvertMcpTurnVs=1 ; turn\nInvertHfSenseL\t=\t1\n",
         {{"VERSION_CHECK", "0"}, {"MONITOR_PSX_OUT", "1"}, {"SQUAWK_AS_INT", "0"}, {"AUTOBRAKES_DOMINANT", "1"},
          {"FIRE_APU_DOMINANT", "1"}, {"InvertMcpTurnVs", "0"}, {"InvertHfSenseL", "1"}},
         {"VERSION_CHECK=0", "AUTOBRAKES_DOMINANT=1"}},
        {"PSX_HOSTADDRESS = 999.1.2.3\n", {{"PSX_HOSTADDRESS", "999.1.2.3"}}, {"PSX_HOSTADDRESS=999.1.2.3"}},
        {"PSX_HOSTADDRESS = localhost\n", {{"PSX_HOSTADDRESS", "127.0.0.1"}},
         {"No PSX_HOSTADDRESS parameter found in Talvesync.cfg default 127.0.0.1 is taken."}},
        // Without a CDU its keys are not read; with several, the leftmost wins and its keys are clamped.
        {"CDU_FONTSIZE = 100\nCDU_BOLD=0\nLCD_CDU=1\n", {{"CDU_FONTSIZE", "44"}, {"CDU_BOLD", "1"}, {"LCD_CDU", "0"}},
         {"CDU_R=0"}, {"CDU_FONTSIZE=44"}},
        {"CDU_R=1\nCDU_L=1\nCDU_FONTSIZE = 100\nCDU_COLOR_G=-5\nLCD_CDU=1\nCDU_BORDER=0\n",
         {{"CDU_L", "1"}, {"CDU_R", "0"}, {"CDU_FONTSIZE", "76"}, {"CDU_COLOR_G", "0"}, {"LCD_CDU", "1"}, {"CDU_BORDER", "0"}},
         {}, {"CDU_R=0", "CDU_C=0"}, true},
        {"CDU_R=1\nCDU_FONTSIZE = -5\n", {{"CDU_R", "1"}, {"CDU_FONTSIZE", "12"}}, {}, {}, true},
        // An error in a list ends the reading, not the start.
        {"BLACKLIST=1000, 1001\nWHITELIST=5\nCDU_L=1\nQs_VarList=7\n", {{"CDU_L", "0"}}, {"! Exception in gf_getCfgData"}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.cfg);
        gf_resetProcessState();
        restartLog();
        writeCfg(c.cfg);
        gf_getCfgData();
        for (const auto& [key, value] : c.values)
            EXPECT_EQ(valueOf(key), value) << key;
        for (const std::string& line : c.logged)
            EXPECT_TRUE(logHas(line)) << line;
        for (const std::string& line : c.notLogged)
            EXPECT_FALSE(logHas(line)) << line;
        EXPECT_EQ(g_cduMode, c.cduMode);
    }
    EXPECT_EQ(g_blacklist, NumberList{1000}); // the list error: what came before it stays
    EXPECT_TRUE(g_whitelist.empty());
    EXPECT_EQ(g_qsTraceList, NumberList{7});
}

TEST_F(ConfigReaderTest, WithoutAFileTheDefaultsStayWithOneMessageSayingWhy)
{
    gf_getCfgData();
    EXPECT_EQ(logLines(), Lines{"No Talvesync.cfg found, default values taken"});
    EXPECT_EQ(cfg::PSX_HOSTADDRESS.value(), "127.0.0.1");
    EXPECT_TRUE(cfg::VERSION_CHECK.value());

    restartLog();
    std::filesystem::create_directory("Talvesync.cfg");
    gf_getCfgData();
    EXPECT_EQ(logLines(), Lines{"No Talvesync.cfg found, default values taken (Talvesync.cfg is not a regular file)"});
}

TEST_F(ConfigReaderTest, MonitorKeysSwitchTheTracesAndAResetRestoresEveryDefault)
{
    writeCfg("MONITOR_PSX_IN_Qi=1\nMONITOR_SIOC_OUT=1\nMONITOR_PSX_IN_NONQ=1\nVERSION_CHECK=0\n"
             "PSX_HOSTADDRESS=10.0.0.2\nCDU_C=1\nCDU_WIDTH=300\nWHITELIST=1000\nQh_VarList=3\n");
    g_log.setTrace(Trace::PsxOut, true);
    gf_getCfgData();
    for (Trace trace : {Trace::PsxInQh, Trace::PsxInQi, Trace::PsxInQs, Trace::PsxInNonQ, Trace::PsxOut, Trace::SiocIn,
                        Trace::SiocOut})
        EXPECT_EQ(g_log.traceOn(trace), trace == Trace::PsxInQi || trace == Trace::SiocOut || trace == Trace::PsxInNonQ)
            << static_cast<int>(trace);
    cfg::CDU_R.setRunning(true);
    ASSERT_EQ(cfg::CDU_WIDTH.value(), 300);
    gf_resetProcessState();
    for (const CfgItem* item : gf_configItems())
        EXPECT_EQ(text(*item), text(*item, true)) << item->key();
    EXPECT_TRUE(g_whitelist.empty());
    EXPECT_TRUE(g_qhTraceList.empty());
}

TEST_F(ConfigReaderTest, MainWindowPositionOnTheEdgeOfItsRangeGoesBackToItsDefault)
{
    writeCfg("MAIN_WINDOW_X=-30000\nMAIN_WINDOW_Y=29999\n");
    gf_readMainWindowPosition();
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "MAIN_WINDOW_X=400\nMAIN_WINDOW_Y=29999\n");
    writeCfg("MAIN_WINDOW_Y=99999\n"); // clamped onto the edge
    gf_readMainWindowPosition();
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 20);
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "MAIN_WINDOW_Y=20\n");
}

} // namespace
} // namespace brg
