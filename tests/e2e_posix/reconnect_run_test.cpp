// With RECONNECT=1 a server that goes away mid-run is waited for: the other one keeps working,
// and once the lost one is back, cockpit and simulator agree again.
#include "console_process.h"

namespace brg::test {
namespace {

using namespace std::chrono_literals;

using ReconnectRunTest = ConsoleTest;

// Each server in turn is stopped and started again; 1006 is a switch (Qh6), 2005 a PSX value (Qi5).
// What the other side changed meanwhile must reach it, values must flow both ways afterwards, and a
// close request while it is away again ends the run with the goodbye to the server still there.
TEST_F(ReconnectRunTest, ARestartedServerIsConnectedAgainAndBothSidesAgree)
{
    for (const char* server : {"PSX", "SIOC"}) {
        SCOPED_TRACE(server);
        const bool psxRestarts = std::string(server) == "PSX";
        ASSERT_NO_FATAL_FAILURE(startRun("1006 2005", "RECONNECT=1\n"));
        const std::vector<std::string> siocArguments{"--port", std::to_string(sioc->port()), "--vivo-ms", "0"};
        auto& restarted = psxRestarts ? psx : sioc;
        const auto lossesLogged = [&](std::size_t n) {
            return waitFor([&] { return countOf(log(), std::string(server) + " connection lost, reconnecting ...") >= n; },
                           10s);
        };

        restarted.reset();
        ASSERT_TRUE(lossesLogged(1)) << log();
        if (psxRestarts)
            sioc->command("set 1006 1");
        else
            psx->command("send Qi5=77");
        restarted = psxRestarts ? startPsx() : std::make_unique<SimProcess>("sioc-sim", siocArguments);
        if (psxRestarts)
            EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 15s)) << log();
        else
            EXPECT_TRUE(sioc->waitForLineEnding("2005=77:", 15s)) << log();
        psx->command("send Qi5=9");
        EXPECT_TRUE(sioc->waitForLineEnding("2005=9:", 10s)) << log();
        sioc->command("set 1006 0");
        EXPECT_TRUE(psx->waitForLine("recv Qh6=0", 10s)) << log();

        restarted.reset();
        ASSERT_TRUE(lossesLogged(2)) << log();
        EXPECT_EQ(stopBridge(), 0);
        EXPECT_TRUE(psxRestarts ? sioc->waitForLine("recv Arn.Fin:") : psx->waitForLine("recv exit"));
        EXPECT_TRUE(contains(log(), "\nExiting: E_USER_CLOSE\n")) << log();
        EXPECT_FALSE(contains(log(), std::string("Force disconnect from ") + server)) << log();
        EXPECT_FALSE(contains(log(), "E_PSX_CLOSE") || contains(log(), "E_IOCP_CLOSE")) << log();
    }
}

} // namespace
} // namespace brg::test
