// The console program as a cockpit builder runs it: in a folder with Talvesync.cfg and a compiled
// script, against the stand-in PSX and SIOC servers, stopped with SIGTERM.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace brg::test {
namespace {

using ConsoleRunTest = TempDirTest;

TEST_F(ConsoleRunTest, BridgesBothWaysAndStopsCleanlyOnSigterm)
{
    ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
    SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
    SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});

    // 1006 is the storm light switch (Qh6), 2005 a value PSX reports (Qi5), 3424 the evacuation
    // lamp word made from Qh424 and the power that the opening burst reports.
    // The CDU screen is for terminals only: into a file nothing of it is printed.
    gf_writeCockpit(sioc.port(), "1006 2005 3424", "CDU_L=1\n");

    const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
    ASSERT_GT(bridge, 0);
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Inicio:1006:", std::chrono::seconds(10)));
    EXPECT_TRUE(gf_waitForProcessing()) << readFile("Log.txt");

    sioc.command("set 1006 1");
    EXPECT_TRUE(psx.waitForLine("recv Qh6=1"));
    psx.command("send Qi5=7");
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Resp:2005=7:"));
    // The lamp's second state (bit 1) lights output bit 5 while the lamp has power.
    psx.command("send Qh424=2");
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Resp:3424=34:"));

    ASSERT_EQ(::kill(bridge, SIGTERM), 0);
    EXPECT_EQ(gf_waitForExit(bridge, std::chrono::seconds(10)), 0);
    EXPECT_TRUE(psx.waitForLine("recv exit"));
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Fin:"));

    const std::string log = readFile("Log.txt");
    EXPECT_TRUE(std::regex_search(log, std::regex("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4} \\(utc\\) "
                                                  "Talvesync version 3\\.46\\.0\n")))
        << log;
    for (const char* line : {"\nSIOC parameters\n IOCP_HOSTADDRESS=127.0.0.1\n", "\nPSX parameters\n",
                             "\nSIOC connected\n", "\nPSX connected\n", "\nExiting: E_USER_CLOSE\n",
                             "\nForce disconnect from PSX ...\n", "\nForce disconnect from SIOC ...\n"})
        EXPECT_TRUE(contains(log, line)) << line << "\n" << log;
    EXPECT_TRUE(std::regex_search(log, std::regex("\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$")))
        << log;
    EXPECT_TRUE(std::filesystem::is_directory("Talvesync"));

    const std::string console = readFile("console.txt");
    EXPECT_TRUE(contains(console, "sioc: connected\n")) << console;
    EXPECT_TRUE(contains(console, "psx: connected\n")) << console;
    EXPECT_FALSE(contains(console, "POS INIT") || contains(console, "\033")) << console;
}

} // namespace
} // namespace brg::test
