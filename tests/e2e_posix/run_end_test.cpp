// How a run ends when something goes wrong outside: a server that resets its connection, a value
// the bridge cannot read, a terminal that closes. Never half alive, and the cause is told.
#include "console_process.h"
#include "platform/tcp_listener.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

using RunEndTest = TempDirTest;

// A value that cannot be read ends the run: both servers are told, the cause is on the console's
// error line and the exit status says the run failed.
TEST_F(RunEndTest, AnUnreadableValueWhileProcessingEndsTheRunAsFailedWithBothGoodbyes)
{
    ASSERT_FALSE(gf_binDir().empty());
    struct Case {
        const char* from;
        const char* line;
        const char* error;
    };
    for (const Case& c : {Case{"psx", "send Qi5=3.7", "error: System Error: "},
                          Case{"sioc", "send Arn.Resp:1006=abc:", "error: System Error: From SIOC: Arn.Resp:1006=abc:"}}) {
        SCOPED_TRACE(c.from);
        SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
        SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});
        gf_writeCockpit(sioc.port(), "1006 2005");
        const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
        ASSERT_GT(bridge, 0);
        ASSERT_TRUE(gf_waitForProcessing()) << readFile("Log.txt");

        (std::string(c.from) == "psx" ? psx : sioc).command(c.line);
        EXPECT_EQ(gf_waitForExit(bridge, 10s), 1);
        EXPECT_TRUE(psx.waitForLine("recv exit"));
        EXPECT_TRUE(sioc.waitForLine("recv Arn.Fin:"));
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, "\nExiting: E_MAIN_LOOP_EXIT\n")) << log;
        const std::string console = readFile("console.txt");
        EXPECT_TRUE(contains(console, c.error)) << console;
        std::filesystem::remove("Log.txt");
    }
}

// Closing the terminal window: the close request runs, although nobody reads the output any more.
TEST_F(RunEndTest, SighupIsACloseRequestEvenWhenTheOutputIsGone)
{
    ASSERT_FALSE(gf_binDir().empty());
    SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
    SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});
    gf_writeCockpit(sioc.port(), "1006");
    int output = -1;
    const pid_t bridge = gf_spawnWithOutputPipe({gf_binDir() + "/talvesync"}, output);
    ASSERT_GT(bridge, 0);
    ASSERT_TRUE(gf_waitForProcessing()) << readFile("Log.txt");

    ::close(output);
    ASSERT_EQ(::kill(bridge, SIGHUP), 0);
    EXPECT_EQ(gf_waitForExit(bridge, 10s), 0);
    EXPECT_TRUE(psx.waitForLine("recv exit"));
    EXPECT_TRUE(sioc.waitForLine("recv Arn.Fin:"));
    const std::string log = readFile("Log.txt");
    EXPECT_TRUE(contains(log, "\nExiting: E_USER_CLOSE\n")) << log;
}

} // namespace
} // namespace brg::test
