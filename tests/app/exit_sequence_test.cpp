#include "app/exit_sequence.h"
#include "app/startup.h"

#include "engine_fixture.h"
#include "support/data_file.h"

#include <chrono>
#include <fmt/format.h>

namespace brg {
namespace {

using test::contains;

class ExitSequenceTest : public test::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        activateClients();
        // Each pause with what had gone out when it began, and what had been posted by then.
        clock->onSleep = [this](std::chrono::milliseconds duration) {
            pauses.push_back(fmt::format("{}={}", duration.count(), sockets->script->sent));
            postedAtLastPause = window.posted.size();
        };
    }

    std::vector<std::string> pauses;
    std::size_t postedAtLastPause = 0;
};

// Who is told goodbye, in which order and with which pauses, for each way a run ends; the cases
// are in tests/data/exit-reasons.txt.
class ExitReasonTest : public ExitSequenceTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ExitReasonTest, GoodbyesAndPausesFollowTheReason)
{
    // name, reason, PSX connected, SIOC connected, SIOC trace, PSX's goodbye fails, logged, not
    // logged, pauses
    const auto c = test::cells(test::unescape(GetParam()), 8);
    std::uint32_t reason = 0;
    while (reason < E_IOCP_FIN && gf_exitEventName(static_cast<ExitEvent>(reason)) != c[1])
        ++reason;
    g_processing = true;
    g_psxConnected = c[2] == "yes";
    g_siocConnected = c[3] == "yes";
    g_log.setTrace(Trace::SiocOut, c[4] == "yes");
    if (!c[5].empty()) {
        sockets->script->sendLimits = {-1}; // PSX is told first
        sockets->script->sendError = std::stoi(c[5]);
    }
    gf_exit(static_cast<ExitEvent>(reason));

    EXPECT_EQ(pauses, std::vector<std::string>(c.begin() + 8, c.end()));
    EXPECT_FALSE(g_processing);
    EXPECT_EQ(postedAtLastPause, 0u); // posted only after the last pause
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    const std::string text = log();
    EXPECT_TRUE(contains(text, c[6])) << text;
    EXPECT_FALSE(contains(text, c[7])) << text;
}

INSTANTIATE_TEST_SUITE_P(Reasons, ExitReasonTest, ::testing::ValuesIn(test::dataLines("exit-reasons.txt")),
                         [](const auto& info) { return test::cells(info.param, 1)[0]; });

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

// The Windows program keeps a failed run's window, and its error, until the user closes it; both
// servers are told goodbye as always. Other ends, and the console program, finish at once.
TEST_F(ExitSequenceTest, AFailedRunKeepsTheWindowOpenUntilTheUserCloses)
{
    g_keepFailedRunOpen = true;
    g_psxConnected = g_siocConnected = g_processing = true;
    gf_reportSystemError(std::runtime_error("From SIOC: Arn.Resp:1006=x:, str2int32: invalid integer input\n"));
    EXPECT_TRUE(g_runFailed);
    gf_exit(E_MAIN_LOOP_EXIT); // the loop saw the cleared flag

    EXPECT_EQ(sockets->script->sent, "exit\r\nArn.Fin:\r\n");
    EXPECT_TRUE(window.posted.empty());
    EXPECT_EQ(display->calls, std::vector<std::string>{"CDU mode off"}); // the error is on the status panel
    EXPECT_TRUE(contains(display->errorText(), "System Error: From SIOC: Arn.Resp:1006=x:"));
    EXPECT_TRUE(contains(log(), "The window stays open with the error until it is closed\n")) << log();

    gf_closeRequest();
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    EXPECT_TRUE(contains(log(), " User closed Talvesync\n"));
    gf_closeRequest(); // a second close posts nothing more
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
}

TEST_F(ExitSequenceTest, OnlyAFailureKeepsTheWindowOpen)
{
    for (const bool failed : {false, true}) {
        SCOPED_TRACE(failed ? "console program, failed run" : "Windows program, SIOC closed");
        gf_resetProcessState();
        g_display = display;
        g_mainWindow = &window;
        window.posted.clear();
        g_keepFailedRunOpen = !failed;
        g_runFailed = failed;
        gf_exit(failed ? E_MAIN_LOOP_EXIT : E_IOCP_CLOSE);
        EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    }
}

} // namespace
} // namespace brg
