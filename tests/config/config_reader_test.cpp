#include "app/process_state.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "config/selection_lists.h"
#include "config_test_fixture.h"

#include <algorithm>
#include <filesystem>
#include <gmock/gmock.h>

namespace brg {
namespace {

using ConfigReaderTest = test::ConfigTest;

std::ptrdiff_t lf_indexOf(const std::vector<std::string>& lines, const std::string& line)
{
    const auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? -1 : it - lines.begin();
}

TEST_F(ConfigReaderTest, WithoutAFileTheDefaultsStayWithOneMessageSayingWhy)
{
    gf_getCfgData();
    EXPECT_EQ(logLines(), std::vector<std::string>{"No Talvesync.cfg found, default values taken"});
    EXPECT_EQ(cfg::PSX_HOSTADDRESS.value(), "127.0.0.1");
    EXPECT_TRUE(cfg::VERSION_CHECK.value());
    EXPECT_FALSE(g_cduMode);

    g_log.close();
    std::filesystem::remove("Log.txt");
    g_log.open();
    std::filesystem::create_directory("Talvesync.cfg");
    gf_getCfgData();
    EXPECT_EQ(logLines(), std::vector<std::string>{"No Talvesync.cfg found, default values taken "
                                                   "(Talvesync.cfg is not a regular file)"});
}

TEST_F(ConfigReaderTest, BooleanLinesMatchWholeWithoutRegardToCase)
{
    writeCfg("  version_check=0  \nMONITOR_PSX_OUT = 1\nMONITOR_PSX_OUT = 0\nSQUAWK_AS_INT = 2\n"
             "AUTOBRAKES_DOMINANT = 10\nFIRE_APU_DOMINANT = yes\nInvertMcpTurnVs=1 ; turn\n"
             "InvertHfSenseL\t=\t1\n");
    gf_getCfgData();
    EXPECT_FALSE(cfg::VERSION_CHECK.value());
    EXPECT_TRUE(cfg::MONITOR_PSX_OUT.value()); // the first line counts
    EXPECT_FALSE(cfg::SQUAWK_AS_INT.value());  // any digit but 1 is false
    EXPECT_TRUE(cfg::AUTOBRAKES_DOMINANT.value()); // not a match: the default
    EXPECT_TRUE(cfg::FIRE_APU_DOMINANT.value());
    EXPECT_FALSE(cfg::InvertMcpTurnVs.value());
    EXPECT_TRUE(cfg::InvertHfSenseL.value());
    EXPECT_TRUE(logHas("VERSION_CHECK=0"));
    EXPECT_TRUE(logHas("AUTOBRAKES_DOMINANT=1"));
}

TEST_F(ConfigReaderTest, PsxAddressNeedsFourDigitGroups)
{
    writeCfg("PSX_HOSTADDRESS = 999.1.2.3\n");
    gf_getCfgData();
    EXPECT_EQ(cfg::PSX_HOSTADDRESS.value(), "999.1.2.3");
    EXPECT_TRUE(logHas("PSX_HOSTADDRESS=999.1.2.3"));

    writeCfg("PSX_HOSTADDRESS = localhost\n");
    gf_getCfgData();
    EXPECT_EQ(cfg::PSX_HOSTADDRESS.value(), "127.0.0.1");
    EXPECT_TRUE(logHas("No PSX_HOSTADDRESS parameter found in Talvesync.cfg default 127.0.0.1 is taken."));
}

TEST_F(ConfigReaderTest, MonitorKeysSwitchTheTraces)
{
    writeCfg("MONITOR_PSX_IN_Qi=1\nMONITOR_SIOC_OUT=1\nMONITOR_PSX_IN_NONQ=1\n");
    g_log.setTrace(Trace::PsxOut, true);
    gf_getCfgData();
    EXPECT_TRUE(g_log.traceOn(Trace::PsxInQi));
    EXPECT_TRUE(g_log.traceOn(Trace::SiocOut));
    EXPECT_TRUE(g_log.traceOn(Trace::PsxInNonQ));
    EXPECT_FALSE(g_log.traceOn(Trace::PsxInQh));
    EXPECT_FALSE(g_log.traceOn(Trace::PsxInQs));
    EXPECT_FALSE(g_log.traceOn(Trace::SiocIn));
    EXPECT_FALSE(g_log.traceOn(Trace::PsxOut));
}

TEST_F(ConfigReaderTest, WithoutACduTheCduKeysAreNotRead)
{
    writeCfg("CDU_FONTSIZE = 100\nCDU_BOLD=0\nLCD_CDU=1\n");
    gf_getCfgData();
    EXPECT_FALSE(g_cduMode);
    EXPECT_EQ(cfg::CDU_FONTSIZE.value(), 44);
    EXPECT_TRUE(cfg::CDU_BOLD.value());
    EXPECT_FALSE(cfg::LCD_CDU.value());
    EXPECT_EQ(lf_indexOf(logLines(), "CDU_FONTSIZE=44"), -1);
    EXPECT_NE(lf_indexOf(logLines(), "CDU_R=0"), -1);
}

TEST_F(ConfigReaderTest, TheLeftmostCduWinsAndItsKeysAreClamped)
{
    writeCfg("CDU_R=1\nCDU_L=1\nCDU_FONTSIZE = 100\nCDU_COLOR_G=-5\nLCD_CDU=1\nCDU_BORDER=0\n");
    gf_getCfgData();
    EXPECT_TRUE(g_cduMode);
    EXPECT_TRUE(cfg::CDU_L.value());
    EXPECT_FALSE(cfg::CDU_R.value());
    EXPECT_EQ(cfg::CDU_FONTSIZE.value(), 76);
    EXPECT_EQ(cfg::CDU_COLOR_G.value(), 0);
    EXPECT_TRUE(cfg::LCD_CDU.value());
    EXPECT_FALSE(cfg::CDU_BORDER.value());
    EXPECT_EQ(lf_indexOf(logLines(), "CDU_R=0"), -1);
    EXPECT_EQ(lf_indexOf(logLines(), "CDU_C=0"), -1);

    gf_resetProcessState();
    writeCfg("CDU_R=1\nCDU_FONTSIZE = -5\n");
    gf_getCfgData();
    EXPECT_TRUE(cfg::CDU_R.value());
    EXPECT_EQ(cfg::CDU_FONTSIZE.value(), 12);
}

TEST_F(ConfigReaderTest, AnErrorInAListEndsTheReadingButNotTheStart)
{
    writeCfg("BLACKLIST=1000, 1001\nWHITELIST=5\nCDU_L=1\nQs_VarList=7\n");
    gf_getCfgData();
    EXPECT_EQ(g_blacklist, NumberList{1000});
    EXPECT_TRUE(g_whitelist.empty());
    EXPECT_EQ(g_qsTraceList, NumberList{7});
    EXPECT_FALSE(cfg::CDU_L.value());
    EXPECT_FALSE(g_cduMode);
    EXPECT_EQ(logLines().back(), "! Exception in gf_getCfgData");
}

TEST_F(ConfigReaderTest, ResetRestoresEveryDefault)
{
    writeCfg("VERSION_CHECK=0\nPSX_HOSTADDRESS=10.0.0.2\nCDU_C=1\nCDU_WIDTH=300\nWHITELIST=1000\nQh_VarList=3\n");
    gf_getCfgData();
    cfg::CDU_R.setRunning(true);
    ASSERT_EQ(cfg::CDU_WIDTH.value(), 300);
    gf_resetProcessState();
    EXPECT_TRUE(cfg::VERSION_CHECK.value());
    EXPECT_EQ(cfg::PSX_HOSTADDRESS.value(), "127.0.0.1");
    EXPECT_FALSE(cfg::CDU_C.value());
    EXPECT_FALSE(cfg::CDU_R.value());
    EXPECT_EQ(cfg::CDU_WIDTH.value(), 620);
    EXPECT_TRUE(g_whitelist.empty());
    EXPECT_TRUE(g_qhTraceList.empty());
}

TEST_F(ConfigReaderTest, MainWindowPositionOnTheEdgeOfItsRangeGoesBackToItsDefault)
{
    writeCfg("MAIN_WINDOW_X=-30000\nMAIN_WINDOW_Y=29999\n");
    gf_readMainWindowPosition();
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 400);
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 29999);
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "MAIN_WINDOW_X=400\nMAIN_WINDOW_Y=29999\n");

    writeCfg("MAIN_WINDOW_Y=99999\n"); // clamped onto the edge
    gf_readMainWindowPosition();
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 20);
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "MAIN_WINDOW_Y=20\n");
}

} // namespace
} // namespace brg
