#include "app/process_state.h"
#include "config/config_reader.h"
#include "config/selection_lists.h"
#include "config_test_fixture.h"
#include "support/data_file.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <iterator>
#include <sstream>

namespace brg {
namespace {

using ConfigReaderTest = test::ConfigTest;
using Lines = std::vector<std::string>;

// The cases of cfg-reads.txt: a file, the reader that reads it, and what it leaves.
TEST_F(ConfigReaderTest, ReadsAsItsCasesSay)
{
    std::vector<std::vector<std::string>> cases; // the case line, then its other lines
    for (const std::string& line : test::dataLines("cfg-reads.txt"))
        if (line.starts_with("case "))
            cases.push_back({line});
        else
            cases.back().push_back(test::unescape(line));
    ASSERT_GT(cases.size(), 8u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.front());
        gf_resetProcessState();
        restartLog();
        std::string cfg;
        std::string after;
        for (const std::string& line : c) {
            if (line.starts_with("< "))
                cfg += line.substr(2) + "\n";
            if (line.starts_with("> "))
                after += line.substr(2) + "\n";
        }
        writeCfg(cfg);
        if (c.front().starts_with("case window:"))
            gf_readMainWindowPosition();
        else
            gf_getCfgData();
        for (const std::string& line : c) {
            const std::string rest = line.substr(std::min<std::size_t>(2, line.size()));
            if (line.starts_with("= ")) {
                const std::size_t space = std::min(rest.find(' '), rest.size());
                EXPECT_EQ(valueOf(rest.substr(0, space)), rest.substr(std::min(space + 1, rest.size()))) << rest;
            } else if (line.starts_with("+ ") || line.starts_with("- ")) {
                EXPECT_EQ(logHas(rest), line[0] == '+') << rest;
            } else if (line.starts_with("note")) {
                EXPECT_EQ(gf_cfgNote(), line.substr(std::min<std::size_t>(5, line.size())));
            } else if (line.starts_with("select ")) {
                const std::size_t arrow = line.find(" ->");
                std::istringstream words(line.substr(7, arrow - 7));
                std::set<std::uint32_t> numbers{std::istream_iterator<std::uint32_t>(words), {}};
                gf_applySelectionLists(numbers);
                EXPECT_EQ(fmt::format("{}", fmt::join(numbers, " ")), line.substr(std::min(arrow + 4, line.size())));
            }
        }
        EXPECT_EQ(g_cduMode, std::ranges::count(c, "cdu") == 1);
        if (!after.empty()) {
            EXPECT_EQ(cfgBytes(), after);
        }
    }
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

} // namespace
} // namespace brg
