// The console program as a cockpit builder runs it: in a folder with Talvesync.cfg and a compiled
// script, against the stand-in PSX and SIOC servers, stopped with SIGTERM.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <regex>
#include <unistd.h>

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
    ASSERT_EQ(std::system(fmt::format("{}/tools/ssi-writer cockpit.ssi 1006 2005 3424 > /dev/null", gf_binDir()).c_str()),
              0);
    // The CDU screen is for terminals only: into a file nothing of it is printed.
    writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\n"
                                           "VERSION_CHECK=0\nCDU_L=1\n",
                                           sioc.port()));

    const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
    ASSERT_GT(bridge, 0);
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Inicio:1006:", std::chrono::seconds(10)));
    EXPECT_TRUE(waitFor([] { return contains(readFile("Log.txt"), "processing input from PSX and SIOC started"); },
                        std::chrono::seconds(10)))
        << readFile("Log.txt");

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

// A server that leaves ends the run on its own: the bridge says goodbye to the other one only.
TEST_F(ConsoleRunTest, AServerLeavingEndsTheRunAndOnlyTheOtherIsToldGoodbye)
{
    ASSERT_FALSE(gf_binDir().empty());
    struct Case {
        const char* leaving;
        const char* command;
        const char* reason;
        const char* goodbyeLine;
        const char* noForceLine;
    };
    for (const Case& c : {Case{"psx", "exit", "\nExiting: E_PSX_EXIT\n", "recv Arn.Fin:", "Force disconnect from PSX"},
                          Case{"sioc", "close", "\nExiting: E_IOCP_CLOSE\n", "recv exit", "Force disconnect from SIOC"}}) {
        SCOPED_TRACE(c.leaving);
        std::filesystem::remove("Log.txt");
        SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
        SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});
        ASSERT_EQ(std::system(fmt::format("{}/tools/ssi-writer cockpit.ssi 1006 > /dev/null", gf_binDir()).c_str()), 0);
        writeFile("Talvesync.cfg",
                  fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n",
                              sioc.port()));
        const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
        ASSERT_GT(bridge, 0);
        ASSERT_TRUE(waitFor([] { return contains(readFile("Log.txt"), "processing input from PSX and SIOC started"); },
                            std::chrono::seconds(10)))
            << readFile("Log.txt");

        (std::string(c.leaving) == "psx" ? psx : sioc).command(c.command);
        EXPECT_EQ(gf_waitForExit(bridge, std::chrono::seconds(10)), 0);
        EXPECT_TRUE((std::string(c.leaving) == "psx" ? sioc : psx).waitForLine(c.goodbyeLine));
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, c.reason)) << log;
        EXPECT_FALSE(contains(log, c.noForceLine)) << log;
    }
}

} // namespace
} // namespace brg::test
