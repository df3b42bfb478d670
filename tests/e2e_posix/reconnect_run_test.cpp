// With RECONNECT=1 a server that goes away mid-run is waited for: the other one keeps working,
// and once the lost one is back, cockpit and simulator agree again.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

using ReconnectRunTest = TempDirTest;

std::size_t lf_count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Each server in turn is stopped and started again; 1006 is a switch (Qh6), 2005 a PSX value (Qi5).
// What the other side changed meanwhile must reach it, values must flow both ways afterwards, and a
// close request while it is away again ends the run with the goodbye to the server still there.
TEST_F(ReconnectRunTest, ARestartedServerIsConnectedAgainAndBothSidesAgree)
{
    ASSERT_FALSE(gf_binDir().empty());
    struct Case {
        const char* server;
        const char* lost;    // the status line's text
        const char* goodbye; // what the server still there receives at the close
        const char* notSaid; // the goodbye the absent server must not be sent
    };
    for (const Case& c : {Case{"psx", "PSX connection lost, reconnecting ...", "recv Arn.Fin:", "Force disconnect from PSX"},
                          Case{"sioc", "SIOC connection lost, reconnecting ...", "recv exit", "Force disconnect from SIOC"}}) {
        SCOPED_TRACE(c.server);
        const bool psxRestarts = std::string(c.server) == "psx";
        std::filesystem::remove("Log.txt");
        auto sioc = std::make_unique<SimProcess>("sioc-sim", std::vector<std::string>{"--vivo-ms", "0"});
        auto psx = std::make_unique<SimProcess>("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"});
        const std::vector<std::string> siocArguments{"--port", std::to_string(sioc->port()), "--vivo-ms", "0"};
        gf_writeCockpit(sioc->port(), "1006 2005", "RECONNECT=1\n");
        const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
        ASSERT_GT(bridge, 0);
        ASSERT_TRUE(gf_waitForProcessing()) << readFile("Log.txt");
        auto& restarted = psxRestarts ? psx : sioc;
        const auto lossesLogged = [&c](std::size_t n) {
            return waitFor([&] { return lf_count(readFile("Log.txt"), c.lost) >= n; }, 10s);
        };

        restarted.reset();
        ASSERT_TRUE(lossesLogged(1)) << readFile("Log.txt");
        if (psxRestarts)
            sioc->command("set 1006 1");
        else
            psx->command("send Qi5=77");
        restarted = psxRestarts
                        ? std::make_unique<SimProcess>("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"})
                        : std::make_unique<SimProcess>("sioc-sim", siocArguments);
        if (psxRestarts)
            EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 15s)) << readFile("Log.txt");
        else
            EXPECT_TRUE(sioc->waitForLineEnding("2005=77:", 15s)) << readFile("Log.txt");
        psx->command("send Qi5=9");
        EXPECT_TRUE(sioc->waitForLineEnding("2005=9:", 10s)) << readFile("Log.txt");
        sioc->command("set 1006 0");
        EXPECT_TRUE(psx->waitForLine("recv Qh6=0", 10s)) << readFile("Log.txt");

        restarted.reset();
        ASSERT_TRUE(lossesLogged(2)) << readFile("Log.txt");
        ASSERT_EQ(::kill(bridge, SIGTERM), 0);
        EXPECT_EQ(gf_waitForExit(bridge, 5s), 0);
        EXPECT_TRUE((psxRestarts ? sioc : psx)->waitForLine(c.goodbye));
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, "\nExiting: E_USER_CLOSE\n")) << log;
        EXPECT_FALSE(contains(log, c.notSaid)) << log;
        EXPECT_FALSE(contains(log, "E_PSX_CLOSE") || contains(log, "E_IOCP_CLOSE")) << log;
    }
}

} // namespace
} // namespace brg::test
