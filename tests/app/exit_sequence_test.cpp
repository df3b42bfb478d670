#include "app/exit_sequence.h"

#include "engine_fixture.h"

#include <chrono>
#include <stdexcept>

namespace brg {
namespace {

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
    void connectBoth()
    {
        g_psxConnected = true;
        g_siocConnected = true;
    }

    std::vector<std::string> sentAtSleep;
    std::vector<std::size_t> postedAtSleep;
};

TEST_F(ExitSequenceTest, UserCloseStopsTheLoopThenSaysGoodbyeToPsxThenSiocAndPostsAtOnce)
{
    connectBoth();
    g_processing = true;
    lf_exit(E_USER_CLOSE);

    EXPECT_EQ(clock->sleeps(), (Sleeps{350ms, 250ms, 100ms}));
    EXPECT_EQ(sentAtSleep, (std::vector<std::string>{"", "exit\r\n", "exit\r\nArn.Fin:\r\n"}));
    EXPECT_FALSE(g_processing);
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    const std::string text = log();
    EXPECT_TRUE(contains(text, "\nExiting: E_USER_CLOSE\nForce disconnect from PSX ...\nForce disconnect from SIOC ...\n"))
        << text;
    EXPECT_FALSE(contains(text, "Fin sent to SIOC")); // only with the SIOC out trace on
}

TEST_F(ExitSequenceTest, PsxExitKeywordSparesPsxButStillClosesSioc)
{
    connectBoth();
    g_log.setTrace(Trace::SiocOut, true);
    lf_exit(E_PSX_EXIT);

    EXPECT_EQ(sockets->script->sent, "Arn.Fin:\r\n");
    EXPECT_EQ(clock->sleeps(), Sleeps{100ms});
    const std::string text = log();
    EXPECT_TRUE(contains(text, "Exiting: E_PSX_EXIT\nForce disconnect from SIOC ...\nFin sent to SIOC\n")) << text;
    EXPECT_FALSE(contains(text, "Force disconnect from PSX"));
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
}

TEST_F(ExitSequenceTest, ClosedSiocGetsNoFinAndTheFinalStopComesAQuarterSecondLater)
{
    g_psxConnected = true; // SIOC's close cleared its flag
    lf_exit(E_IOCP_CLOSE);

    EXPECT_EQ(sockets->script->sent, "exit\r\n");
    EXPECT_EQ(clock->sleeps(), (Sleeps{250ms, 250ms}));
    EXPECT_EQ(postedAtSleep.back(), 0u); // posted only after the last sleep
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    EXPECT_FALSE(contains(log(), "Force disconnect from SIOC"));
}

TEST_F(ExitSequenceTest, RunsOnceOnlyWhateverComesLater)
{
    lf_exit(E_IOCP_FIN);
    connectBoth();
    g_processing = true;
    lf_exit(E_USER_CLOSE);

    EXPECT_TRUE(g_processing);
    EXPECT_EQ(sockets->script->sent, "");
    EXPECT_EQ(window.posted.size(), 1u);
    const std::string text = log();
    EXPECT_TRUE(contains(text, "Exiting: E_IOCP_FIN\n"));
    EXPECT_FALSE(contains(text, "E_USER_CLOSE"));
}

TEST_F(ExitSequenceTest, AFailingGoodbyeIsLoggedAndTheSequenceGoesOn)
{
    connectBoth();
    sockets->script->sendLimits = {-1}; // PSX's send fails, SIOC's goes out
    sockets->script->sendError = 10054;
    lf_exit(E_USER_CLOSE);

    EXPECT_EQ(sockets->script->sent, "Arn.Fin:\r\n");
    EXPECT_EQ(clock->sleeps(), Sleeps{100ms}); // no pause after the failed send
    EXPECT_TRUE(contains(log(), "Exception while trying to exit PSX: ToPSX sendData 10054 Connection reset by peer\n\n"))
        << log();
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
}

TEST_F(ExitSequenceTest, NothingIsPostedWithoutAWindow)
{
    g_mainWindow = nullptr;
    lf_exit(E_MAIN_LOOP_EXIT);
    EXPECT_TRUE(window.posted.empty());
    EXPECT_EQ(clock->sleeps(), Sleeps{250ms});
}

TEST_F(ExitSequenceTest, ASystemErrorIsLoggedAndStopsTheLoop)
{
    g_processing = true;
    lf_reportSystemError(std::runtime_error("FromPSX receive: 10054 Connection reset by peer"));
    EXPECT_FALSE(g_processing);
    EXPECT_TRUE(contains(log(), "\nSystem Error: FromPSX receive: 10054 Connection reset by peer\n\n"));
}

} // namespace
} // namespace brg
