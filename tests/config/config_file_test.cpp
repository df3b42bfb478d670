#include "config/config_file.h"
#include "config/config_items.h"
#include "config/config_reference.h"
#include "config_test_fixture.h"
#include "support/data_file.h"

#include <algorithm>
#include <filesystem>
#include <gmock/gmock.h>

namespace brg {
namespace {

using test::readFile;
using ConfigFileTest = test::ConfigTest;
namespace fs = std::filesystem;

TEST(CfgLinePattern, TakesTheValueItsCasesSay)
{
    const CfgPattern kinds[] = {CfgPattern::Boolean, CfgPattern::Integer, CfgPattern::Text, CfgPattern::Host};
    for (const std::string& row : test::dataLines("cfg-line-patterns.txt")) {
        const std::vector<std::string> cells = test::cells(row, 5);
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string& value = cells[k + 1];
            EXPECT_EQ(gf_matchCfgLine(kinds[k], "KEY", test::unescape(cells[0])),
                      value.empty() ? std::nullopt : std::optional(test::unescape(value)))
                << row << " as kind " << k;
        }
    }
    // A very long value is no trouble for the matcher.
    const std::string longLine = "CONFIG_FILE=" + std::string(1'000'000, 'x');
    EXPECT_EQ(gf_matchCfgLine(CfgPattern::Text, "CONFIG_FILE", longLine)->size(), 1'000'000U);
}

// The first matching line counts, Windows line ends are no part of a value, and a byte order mark
// is skipped at the start of the file only.
TEST_F(ConfigFileTest, LookupTakesTheFirstMatchingLine)
{
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Integer, "IOCP_port"), std::nullopt); // no file
    const std::string file = "\xEF\xBB\xBFIOCP_HOSTADDRESS=10.0.0.2\r\n; IOCP_port=1\r\nIOCP_port = 80x\r\n"
                             "iocp_PORT = 8092\r\nIOCP_port=8093\r\nCONFIG_FILE=\xEF\xBB\xBF.ssi  \r\n";
    writeCfg(file);
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Integer, "IOCP_port"), "8092");
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Host, "IOCP_HOSTADDRESS"), "10.0.0.2");
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Text, "CONFIG_FILE"), "\xEF\xBB\xBF.ssi");
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Text, "PSX_HOSTADDRESS"), std::nullopt);
    // A key without a line is appended, with the file's own line end; the rest stays byte for byte.
    cfg::setCfgParam("MAIN_WINDOW_X", "350");
    EXPECT_EQ(cfgBytes(), file + "MAIN_WINDOW_X=350\r\n");
    cfg::setCfgParam("IOCP_HOSTADDRESS", "10.0.0.3");
    EXPECT_EQ(cfgBytes(), "\xEF\xBB\xBFIOCP_HOSTADDRESS=10.0.0.3\r\n" + file.substr(30) + "MAIN_WINDOW_X=350\r\n");
}

// A save changes the one line that sets the key, where it stands, and nothing else: comments,
// blank lines, repeats and their order stay, so what the file means stays too.
TEST_F(ConfigFileTest, SaveReplacesTheKeysFirstLineAndKeepsEveryOtherLine)
{
    cfg::MAIN_WINDOW_X.setRunning(99999); // the running value only: clamped, not saved
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 30000);
    EXPECT_FALSE(fs::exists("Talvesync.cfg"));
    cfg::MAIN_CDU_WINDOW_Y.set(40000); // no file yet: one line, clamped
    EXPECT_EQ(cfgBytes(), "MAIN_CDU_WINDOW_Y=30000");
    writeCfg("b=1\nMAIN_WINDOW_X=400\na=2\n");
    cfg::MAIN_WINDOW_X.set(350);
    EXPECT_EQ(cfgBytes(), "b=1\nMAIN_WINDOW_X=350\na=2\n");
    // A window position that lands on a bound (a minimised window lies far off screen) keeps the value.
    cfg::MAIN_WINDOW_X.setPosition(99999, true);
    cfg::MAIN_WINDOW_X.setPosition(-99999, false);
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 350);
    EXPECT_TRUE(logHas("MAIN_WINDOW_X=350"));

    // The first line of the key in any letter case is the one the reader takes, so it is the one replaced.
    writeCfg("; window\n\nmain_window_y=1\n  MAIN_WINDOW_Y = 5\nMAIN_WINDOW_Y=6\n\nz=1\nz=1");
    cfg::setCfgParam("MAIN_WINDOW_Y", "-7");
    EXPECT_EQ(cfgBytes(), "; window\n\nMAIN_WINDOW_Y=-7\n  MAIN_WINDOW_Y = 5\nMAIN_WINDOW_Y=6\n\nz=1\nz=1");
    cfg::setCfgParam("CDU_X_OFFSET", "3");
    EXPECT_EQ(cfgBytes(),
              "; window\n\nMAIN_WINDOW_Y=-7\n  MAIN_WINDOW_Y = 5\nMAIN_WINDOW_Y=6\n\nz=1\nz=1\nCDU_X_OFFSET=3\n");
    EXPECT_FALSE(fs::exists("Talvesync.cfg.tmp"));

    // Two lines for one key: the first still counts after a save.
    writeCfg("CDU_L=1\r\nCDU_L=0\r\nMAIN_WINDOW_X=400\r\n");
    cfg::setCfgParam("MAIN_WINDOW_X", "10");
    EXPECT_EQ(cfgBytes(), "CDU_L=1\r\nCDU_L=0\r\nMAIN_WINDOW_X=10\r\n");
    EXPECT_EQ(gf_cfgLookup(CfgPattern::Boolean, "CDU_L"), "1");
}

// The sample a user starts from keeps its every line through the saves of both window positions.
TEST_F(ConfigFileTest, SaveKeepsTheSampleLineForLine)
{
    const std::string sample = gf_configSample();
    writeCfg(sample);
    cfg::MAIN_WINDOW_X.set(123);
    cfg::MAIN_WINDOW_Y.set(45);
    const std::string saved = cfgBytes();
    EXPECT_EQ(std::ranges::count(saved, '\n'), std::ranges::count(sample, '\n'));
    std::string expected = sample;
    for (const auto& [from, to] : {std::pair{"\nMAIN_WINDOW_X = 400\n", "\nMAIN_WINDOW_X=123\n"},
                                   std::pair{"\nMAIN_WINDOW_Y = 20\n", "\nMAIN_WINDOW_Y=45\n"}}) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, std::string_view(from).size(), to);
    }
    EXPECT_EQ(saved, expected);
}

// The new content cannot be written beside the file, or the disk is full (every write to
// /dev/full fails with "no space left on device").
TEST_F(ConfigFileTest, FailedSaveLeavesTheOldFileWhole)
{
    const std::string old = "MAIN_WINDOW_X=400\nVERSION_CHECK=0\n";
    for (const bool fullDisk : {false, true}) {
#ifndef __linux__
        if (fullDisk)
            break;
#endif
        SCOPED_TRACE(fullDisk);
        writeCfg(old);
        if (fullDisk)
            fs::create_symlink("/dev/full", "Talvesync.cfg.tmp");
        else
            fs::create_directories("Talvesync.cfg.tmp/in-the-way");
        EXPECT_THROW(cfg::MAIN_WINDOW_X.set(10), fs::filesystem_error);
        EXPECT_EQ(readFile("Talvesync.cfg"), old);
        EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 10); // the running value is kept all the same
        EXPECT_EQ(fs::exists(fs::symlink_status("Talvesync.cfg.tmp")), !fullDisk);
        fs::remove_all("Talvesync.cfg.tmp");
    }
}

} // namespace
} // namespace brg
