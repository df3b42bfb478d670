#include "app/exit_sequence.h"

#include "engine_fixture.h"

#include <chrono>

namespace brg {
namespace {

using test::contains;

using namespace std::chrono_literals;
using Sleeps = std::vector<std::chrono::milliseconds>;

class ExitSequenceTest : public test::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        activateClients();
        // What had gone out and been posted when each sleep began.
        clock->onSleep = [this](std::chrono::milliseconds) {
            sentAtSleep.push_back(sockets->script->sent);
            postedAtSleep.push_back(window.posted.size());
        };
    }

    std::vector<std::string> sentAtSleep;
    std::vector<std::size_t> postedAtSleep;
};

// Who is told goodbye, in which order and with which pauses, for each way a run ends.
struct ExitRow {
    ExitEvent reason;
    bool psx, sioc, siocTrace;
    Sleeps sleeps;
    std::vector<std::string> sentAtSleep;
    const char* logged;
    const char* notLogged;
};

class ExitReasonTest : public ExitSequenceTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitReasonTest, GoodbyesAndPausesFollowTheReason)
{
    const ExitRow& row = GetParam();
    g_processing = true;
    g_psxConnected = row.psx;
    g_siocConnected = row.sioc;
    g_log.setTrace(Trace::SiocOut, row.siocTrace);
    gf_exit(row.reason);

    EXPECT_EQ(clock->sleeps(), row.sleeps);
    EXPECT_EQ(sentAtSleep, row.sentAtSleep);
    EXPECT_FALSE(g_processing);
    EXPECT_EQ(postedAtSleep.back(), 0u); // posted only after the last pause
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    const std::string text = log();
    EXPECT_TRUE(contains(text, row.logged)) << text;
    EXPECT_FALSE(contains(text, row.notLogged)) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, ExitReasonTest,
    ::testing::Values(
        ExitRow{E_USER_CLOSE, true, true, false, {350ms, 250ms, 100ms}, {"", "exit\r\n", "exit\r\nArn.Fin:\r\n"},
                "\nExiting: E_USER_CLOSE\nForce disconnect from PSX ...\nForce disconnect from SIOC ...\n",
                "Fin sent to SIOC"},
        ExitRow{E_PSX_EXIT, true, true, true, {350ms, 100ms}, {"", "Arn.Fin:\r\n"},
                "Exiting: E_PSX_EXIT\nForce disconnect from SIOC ...\nFin sent to SIOC\n", "Force disconnect from PSX"},
        // SIOC's close cleared its flag; the final stop comes a quarter second after the goodbye.
        ExitRow{E_IOCP_CLOSE, true, false, false, {350ms, 250ms, 250ms}, {"", "exit\r\n", "exit\r\n"},
                "Exiting: E_IOCP_CLOSE\n", "Force disconnect from SIOC"}));

// Also without a window to post to.
TEST_F(ExitSequenceTest, RunsOnceOnlyWhateverComesLater)
{
    g_mainWindow = nullptr;
    gf_exit(E_IOCP_FIN);
    g_mainWindow = &window;
    g_psxConnected = g_siocConnected = g_processing = true;
    gf_exit(E_USER_CLOSE);

    EXPECT_TRUE(g_processing);
    EXPECT_EQ(sockets->script->sent, "");
    EXPECT_TRUE(window.posted.empty());
    EXPECT_FALSE(contains(log(), "E_USER_CLOSE"));
}

TEST_F(ExitSequenceTest, AFailingGoodbyeIsLoggedAndTheSequenceGoesOn)
{
    g_psxConnected = g_siocConnected = true;
    sockets->script->sendLimits = {-1}; // PSX's send fails, SIOC's goes out
    sockets->script->sendError = 10054;
    gf_exit(E_USER_CLOSE);

    EXPECT_EQ(sockets->script->sent, "Arn.Fin:\r\n");
    EXPECT_EQ(clock->sleeps(), Sleeps{100ms}); // no pause after the failed send
    EXPECT_TRUE(contains(log(), "Exception while trying to exit PSX: ToPSX sendData 10054 Connection reset by peer\n\n"))
        << log();
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
}

} // namespace
} // namespace brg
