// The console program against stand-in servers that misbehave on purpose: a user must see values
// arrive correct, or the run end with the reason of the failing server and a clean exit; never a
// hang, never memory that keeps growing.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

// Far above the few MB the bridge needs: growth beyond it is a leak or an unbounded buffer.
// Under ASan freed blocks wait in its quarantine (256 MB by default) before they are reused, so there
// the bound grows by that much; the native build keeps the tight one.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kRssLimitKib = (64 + 256) * 1024;
#else
constexpr long kRssLimitKib = 64 * 1024;
#endif

long lf_rssKib(pid_t pid)
{
    std::ifstream status(fmt::format("/proc/{}/status", pid));
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

class FaultRunTest : public TempDirTest {
protected:
    // Both servers and a bridge that has started processing; 1006 is a switch (Qh6), 2005 a PSX
    // value (Qi5).
    void startRun()
    {
        ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
        std::filesystem::remove("Log.txt");
        psx.reset(); // the port of the run before is free again
        sioc.reset();
        sioc = std::make_unique<SimProcess>("sioc-sim", std::vector<std::string>{"--vivo-ms", "0"});
        psx = std::make_unique<SimProcess>("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"});
        gf_writeCockpit(sioc->port(), "1006 2005");
        bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
        ASSERT_GT(bridge, 0);
        ASSERT_TRUE(gf_waitForProcessing(15s)) << readFile("Log.txt");
    }

    void TearDown() override
    {
        if (bridge > 0 && gf_waitForExit(bridge, 0ms) < 0)
            ADD_FAILURE() << "the bridge was still running";
        sioc.reset();
        psx.reset();
        TempDirTest::TearDown();
    }

    // Ends the run with SIGTERM and expects the clean end of a user's close.
    void stopRun()
    {
        ASSERT_EQ(::kill(bridge, SIGTERM), 0);
        EXPECT_EQ(gf_waitForExit(bridge, 15s), 0);
        bridge = -1;
    }

    // Either the value arrived and the bridge runs on, or the bad input stopped the processing,
    // which the user sees as an orderly end: a logged system error and exit status 1.
    void expectArrivalOrOrderlyEnd(SimProcess& receiver, const std::string& line)
    {
        if (receiver.waitForLineEnding(line, 5s)) {
            stopRun();
            return;
        }
        EXPECT_EQ(gf_waitForExit(bridge, 15s), 1);
        bridge = -1;
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, "System Error: ")) << log;
        EXPECT_TRUE(contains(log, "\nExiting: E_MAIN_LOOP_EXIT\n")) << log;
    }

    std::unique_ptr<SimProcess> sioc;
    std::unique_ptr<SimProcess> psx;
    pid_t bridge = -1;
};

TEST_F(FaultRunTest, ValuesArriveThroughTrickledLinesAndFloods)
{
    struct Case {
        const char* from;
        std::vector<std::string> commands;
        const char* expected; // the end of a line at the other server
    };
    const std::vector<Case> cases{
        {"psx", {"trickle Qi5=8"}, "2005=8:"},
        {"sioc", {"trickle Arn.Resp:1006=1:"}, "recv Qh6=1"},
        // 200000 changes of one value: the last one is what SIOC must end up with.
        {"psx", {"flood 200000 Qi5={}"}, "2005=199999:"},
        {"sioc", {"flood 100000 Arn.Vivo:", "set 1006 1"}, "recv Qh6=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands.front());
        startRun();
        SimProcess& sender = std::string(c.from) == "psx" ? *psx : *sioc;
        SimProcess& receiver = std::string(c.from) == "psx" ? *sioc : *psx;
        long peak = 0;
        for (const std::string& command : c.commands) {
            sender.command(command);
            const std::string verb = command.substr(0, command.find(' '));
            if (verb != "set") {
                EXPECT_TRUE(sender.waitForLine("done " + verb, 60s));
            }
            peak = std::max(peak, lf_rssKib(bridge));
        }
        EXPECT_TRUE(receiver.waitForLineEnding(c.expected, 30s)) << readFile("Log.txt");
        peak = std::max(peak, lf_rssKib(bridge));
        EXPECT_LT(peak, kRssLimitKib);
        stopRun();
    }
}

TEST_F(FaultRunTest, GarbageAndNulBytesLeaveValuesCorrectOrEndTheRunInOrder)
{
    for (const char* from : {"psx", "sioc"}) {
        SCOPED_TRACE(from);
        startRun();
        const bool fromPsx = std::string(from) == "psx";
        SimProcess& sender = fromPsx ? *psx : *sioc;
        sender.command("garbage 3000");
        EXPECT_TRUE(sender.waitForLine("done garbage"));
        if (fromPsx) {
            psx->command("send Qi5=7");
            expectArrivalOrOrderlyEnd(*sioc, "2005=7:");
        } else {
            sioc->command("set 1006 1");
            expectArrivalOrOrderlyEnd(*psx, "Qh6=1");
        }
    }
}

// A server that leaves, however it leaves, ends the run on its own: the bridge says goodbye to the
// other server only.
TEST_F(FaultRunTest, AServerThatLeavesEndsTheRunWithItsReason)
{
    struct Case {
        const char* from;
        const char* command;
        const char* reason;
    };
    for (const Case& c : {Case{"psx", "exit", "\nExiting: E_PSX_EXIT\n"}, Case{"sioc", "close", "\nExiting: E_IOCP_CLOSE\n"},
                          Case{"psx", "cut Qi5=12345", "\nExiting: E_PSX_CLOSE\n"},
                          Case{"sioc", "cut Arn.Resp:1006=1:", "\nExiting: E_IOCP_CLOSE\n"},
                          Case{"psx", "reset", "\nExiting: E_PSX_CLOSE\n"},
                          Case{"sioc", "reset", "\nExiting: E_IOCP_CLOSE\n"}}) {
        SCOPED_TRACE(std::string(c.from) + " " + c.command);
        startRun();
        const bool fromPsx = std::string(c.from) == "psx";
        (fromPsx ? *psx : *sioc).command(c.command);
        EXPECT_EQ(gf_waitForExit(bridge, 15s), 0);
        bridge = -1;
        EXPECT_TRUE((fromPsx ? *sioc : *psx).waitForLine(fromPsx ? "recv Arn.Fin:" : "recv exit"));
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, c.reason)) << log;
        EXPECT_FALSE(contains(log, fromPsx ? "Force disconnect from PSX" : "Force disconnect from SIOC")) << log;
        // PSX's own exit ends the run while its connection is still up.
        if (std::string(c.command) != "exit") {
            const std::string console = readFile("console.txt");
            EXPECT_TRUE(contains(console, fromPsx ? "psx: disconnected\n" : "sioc: disconnected\n")) << console;
        }
    }
}

TEST_F(FaultRunTest, AStalledServerNeitherHangsTheBridgeNorGrowsItsMemory)
{
    startRun();
    sioc->command("stall");
    EXPECT_TRUE(sioc->waitForLine("done stall"));
    // Far more than the socket buffers hold goes towards the server that does not read.
    psx->command("flood 400000 Qi5={}");
    EXPECT_TRUE(psx->waitForLine("done flood", 60s));
    long peak = lf_rssKib(bridge);
    // The bridge keeps working meanwhile: a switch still reaches PSX.
    sioc->command("set 1006 1");
    EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 10s));
    peak = std::max(peak, lf_rssKib(bridge));
    EXPECT_LT(peak, kRssLimitKib);
    sioc->command("resume");
    EXPECT_TRUE(sioc->waitForLineEnding("2005=399999:", 30s));
    stopRun();
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));
}

} // namespace
} // namespace brg::test
