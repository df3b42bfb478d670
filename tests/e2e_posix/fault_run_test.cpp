// The console program against stand-in servers that misbehave on purpose, and a terminal that
// closes: a user must see values arrive correct, or the run end with the cause told and a clean
// exit; never a hang, never memory that keeps growing.
#include "console_process.h"

#include <csignal>
#include <fcntl.h>
#include <fmt/format.h>
#include <fstream>
#include <unistd.h>

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

// 1006 is a switch (Qh6), 2005 a PSX value (Qi5).
class FaultRunTest : public ConsoleTest {
protected:
    void startRun() { ConsoleTest::startRun("1006 2005"); }
    SimProcess& server(const std::string& name) { return name == "psx" ? *psx : *sioc; }
    SimProcess& otherThan(const std::string& name) { return name == "psx" ? *sioc : *psx; }
    long rssKib() const
    {
        std::ifstream status(fmt::format("/proc/{}/status", bridge));
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("VmRSS:"))
                return std::strtol(line.c_str() + 6, nullptr, 10);
        return 0;
    }
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
        ASSERT_NO_FATAL_FAILURE(startRun());
        long peak = 0;
        for (const std::string& command : c.commands) {
            server(c.from).command(command);
            const std::string verb = command.substr(0, command.find(' '));
            if (verb != "set") {
                EXPECT_TRUE(server(c.from).waitForLine("done " + verb, 60s));
            }
            peak = std::max(peak, rssKib());
        }
        EXPECT_TRUE(otherThan(c.from).waitForLineEnding(c.expected, 30s)) << log();
        EXPECT_LT(std::max(peak, rssKib()), kRssLimitKib);
        EXPECT_EQ(stopBridge(), 0);
    }
}

// Either the value arrives and the bridge runs on, or the bad input stopped the processing, which
// the user sees as an orderly end: a logged system error and exit status 1.
TEST_F(FaultRunTest, GarbageAndNulBytesLeaveValuesCorrectOrEndTheRunInOrder)
{
    for (const char* from : {"psx", "sioc"}) {
        SCOPED_TRACE(from);
        ASSERT_NO_FATAL_FAILURE(startRun());
        server(from).command("garbage 3000");
        EXPECT_TRUE(server(from).waitForLine("done garbage"));
        server(from).command(std::string(from) == "psx" ? "send Qi5=7" : "set 1006 1");
        if (otherThan(from).waitForLineEnding(std::string(from) == "psx" ? "2005=7:" : "Qh6=1", 5s)) {
            EXPECT_EQ(stopBridge(), 0);
            continue;
        }
        EXPECT_EQ(bridgeExit(), 1);
        EXPECT_TRUE(contains(log(), "System Error: ")) << log();
        EXPECT_TRUE(contains(log(), "\nExiting: E_MAIN_LOOP_EXIT\n")) << log();
    }
}

// A server that leaves, however it leaves, ends the run on its own with its reason, and the bridge
// says goodbye to the other server only. A value that cannot be read ends the run as failed: both
// servers are told, and the cause is on the console's error line.
TEST_F(FaultRunTest, AServerThatLeavesOrSendsWhatCannotBeReadEndsTheRunWithItsReason)
{
    struct Case {
        const char* from;
        const char* command;
        const char* reason;
        const char* console; // on the console ("": PSX's own exit leaves its connection up)
        int status;
    };
    for (const Case& c :
         {Case{"psx", "exit", "\nExiting: E_PSX_EXIT\n", "", 0},
          Case{"sioc", "close", "\nExiting: E_IOCP_CLOSE\n", "sioc: disconnected\n", 0},
          Case{"psx", "cut Qi5=12345", "\nExiting: E_PSX_CLOSE\n", "psx: disconnected\n", 0},
          Case{"sioc", "cut Arn.Resp:1006=1:", "\nExiting: E_IOCP_CLOSE\n", "sioc: disconnected\n", 0},
          Case{"psx", "reset", "\nExiting: E_PSX_CLOSE\n", "psx: disconnected\n", 0},
          Case{"sioc", "reset", "\nExiting: E_IOCP_CLOSE\n", "sioc: disconnected\n", 0},
          Case{"psx", "send Qi5=3.7", "\nExiting: E_MAIN_LOOP_EXIT\n", "error: System Error: ", 1},
          Case{"sioc", "send Arn.Resp:1006=abc:", "\nExiting: E_MAIN_LOOP_EXIT\n",
               "error: System Error: From SIOC: Arn.Resp:1006=abc:", 1}}) {
        SCOPED_TRACE(std::string(c.from) + " " + c.command);
        ASSERT_NO_FATAL_FAILURE(startRun());
        const bool fromPsx = std::string(c.from) == "psx";
        server(c.from).command(c.command);
        EXPECT_EQ(bridgeExit(), c.status);
        EXPECT_TRUE(otherThan(c.from).waitForLine(fromPsx ? "recv Arn.Fin:" : "recv exit"));
        EXPECT_TRUE(contains(log(), c.reason)) << log();
        EXPECT_TRUE(contains(console(), c.console)) << console();
        if (c.status == 0) {
            EXPECT_FALSE(contains(log(), fromPsx ? "Force disconnect from PSX" : "Force disconnect from SIOC")) << log();
        } else {
            EXPECT_TRUE(server(c.from).waitForLine(fromPsx ? "recv exit" : "recv Arn.Fin:"));
        }
    }
}

TEST_F(FaultRunTest, AStalledServerNeitherHangsTheBridgeNorGrowsItsMemory)
{
    ASSERT_NO_FATAL_FAILURE(startRun());
    sioc->command("stall");
    EXPECT_TRUE(sioc->waitForLine("done stall"));
    // Far more than the socket buffers hold goes towards the server that does not read.
    psx->command("flood 400000 Qi5={}");
    EXPECT_TRUE(psx->waitForLine("done flood", 60s));
    long peak = rssKib();
    // The bridge keeps working meanwhile: a switch still reaches PSX.
    sioc->command("set 1006 1");
    EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 10s));
    EXPECT_LT(std::max(peak, rssKib()), kRssLimitKib);
    sioc->command("resume");
    EXPECT_TRUE(sioc->waitForLineEnding("2005=399999:", 30s));
    EXPECT_EQ(stopBridge(), 0);
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));
}

// Closing the terminal window: the close request runs, although nobody reads the output any more.
TEST_F(FaultRunTest, SighupIsACloseRequestEvenWhenTheOutputIsGone)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006"));
    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    bridge = gf_spawn({gf_binDir() + "/talvesync"}, -1, output[1]);
    ::close(output[1]);
    ASSERT_TRUE(waitForProcessing()) << log();
    ::close(output[0]);
    ASSERT_EQ(::kill(bridge, SIGHUP), 0);
    EXPECT_EQ(bridgeExit(10s), 0);
    EXPECT_TRUE(psx->waitForLine("recv exit"));
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));
    EXPECT_TRUE(contains(log(), "\nExiting: E_USER_CLOSE\n")) << log();
}

} // namespace
} // namespace brg::test
