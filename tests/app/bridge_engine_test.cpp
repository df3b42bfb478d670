#include "app/bridge_engine.h"

#include "app/startup.h"
#include "base/exceptions.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "engine_fixture.h"
#include "support/data_file.h"

#include <chrono>
#include <gmock/gmock.h>
#include <string>

namespace brg {
namespace {

using test::contains;
using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

using namespace std::chrono_literals;

class BridgeEngineTest : public test::EngineTest {
protected:
    static void notifySioc(std::uint16_t event, std::uint16_t error = 0)
    {
        gf_handleSocketMessage(kMsgSiocSocket, g_ToSIOCClient->socketHandle(), gf_makeSelectReply(event, error));
    }
    static void notifyPsx(std::uint16_t event, std::uint16_t error = 0)
    {
        gf_handleSocketMessage(kMsgPsxSocket, g_ToPSXClient->socketHandle(), gf_makeSelectReply(event, error));
    }
    // Both connections up, as the worker sees them.
    void connectBoth()
    {
        gf_connectSIOC();
        gf_connectPSX();
        for (auto* notifyOne : {&notifySioc, &notifyPsx}) {
            notifyOne(kFdConnect, 0);
            notifyOne(kFdWrite, 0);
        }
    }
};

class WorkerStartTest : public BridgeEngineTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WorkerStartTest, WorkerStartsOnceWhenTheSecondServerTakesData)
{
    const bool siocFirst = GetParam();
    gf_connectSIOC();
    gf_connectPSX();
    auto first = siocFirst ? &notifySioc : &notifyPsx;
    auto second = siocFirst ? &notifyPsx : &notifySioc;

    first(kFdConnect, 0);
    first(kFdWrite, 0);
    first(kFdWrite, 0);
    EXPECT_EQ(workerStarts, 0);
    second(kFdConnect, 0);
    EXPECT_EQ(workerStarts, 0); // connected is not yet writable
    second(kFdWrite, 0);
    EXPECT_EQ(workerStarts, 1);
    first(kFdWrite, 0);
    second(kFdWrite, 0);
    EXPECT_EQ(workerStarts, 1);

    EXPECT_TRUE(g_psxConnected && g_siocConnected && display->psxConnected() && display->siocConnected());
    EXPECT_EQ(display->calls, (std::vector<std::string>{"repaint", "repaint"}));
    EXPECT_TRUE(contains(log(), siocFirst ? "SIOC connected\nPSX connected\n" : "PSX connected\nSIOC connected\n"));
}

INSTANTIATE_TEST_SUITE_P(EitherOrder, WorkerStartTest, ::testing::Bool());

// Each retry comes a second after its attempt started, on the main loop's timer, with a fresh
// socket; what the replaced socket still reports is not ours.
TEST_F(BridgeEngineTest, AFailedAttemptIsLoggedAndRetriedASecondAfterItStarted)
{
    gf_connectPSX();
    const std::uintptr_t oldSocket = g_ToPSXClient->socketHandle();
    clock->advance(10ms);
    notifyPsx(kFdConnect, 10061);
    EXPECT_TRUE(contains(log(), "\n19: ToPSX not detected (connection refused)\n\n")) << log();
    EXPECT_EQ(clock->delays(), std::vector<std::chrono::milliseconds>{990ms});

    clock->advance(989ms);
    EXPECT_TRUE(window.posted.empty()); // the main thread is not held up meanwhile
    clock->advance(1ms);
    ASSERT_EQ(window.posted, std::vector<std::uint32_t>{kMsgPsxSocket});
    gf_handleSocketMessage(kMsgPsxSocket, 0, 0);
    EXPECT_EQ(sockets->created, 2);
    gf_handleSocketMessage(kMsgPsxSocket, oldSocket, gf_makeSelectReply(kFdWrite, 0));
    gf_handleSocketMessage(kMsgPsxSocket, oldSocket, gf_makeSelectReply(kFdClose, 0));
    EXPECT_FALSE(g_psxConnected);
    EXPECT_TRUE(g_exitPending);

    // An attempt that took longer than the pause is retried at once.
    clock->advance(21s);
    notifyPsx(kFdConnect, 10060);
    EXPECT_TRUE(contains(log(), "18: Connection attempt to ToPSX timed out\n"));
    EXPECT_EQ(clock->delays(), (std::vector<std::chrono::milliseconds>{990ms, 0ms}));

    // A retry that fails at once stays in the handler and is paced again.
    clock->advance(0ms);
    sockets->script->connectError = 10049;
    EXPECT_NO_THROW(gf_handleSocketMessage(kMsgPsxSocket, 0, 0));
    EXPECT_TRUE(contains(log(), "\n17: connect to TCP/IP failure: 127.0.0.1, 10747, 10049 Can't assign requested address\n\n"))
        << log();
    EXPECT_EQ(clock->delays(), (std::vector<std::chrono::milliseconds>{990ms, 0ms, 1000ms}));

    // A refusal after the user closed schedules nothing. (A retry already waiting then makes no
    // attempt: see ReconnectTest.)
    g_closing = true;
    notifyPsx(kFdConnect, 10061);
    EXPECT_EQ(clock->delays().size(), 3u);
}

// While a server does not answer, the status line names the cause and the address and stays on it
// through the retries; the log tells each cause once. A host name is looked up at each attempt, and
// one that is not found is retried like a refusal, from the first attempt on.
TEST_F(BridgeEngineTest, AConnectionProblemIsShownUntilTheServerAnswersAndLoggedOncePerCause)
{
    const auto readCfg = [](const std::string& content) {
        test::writeFile("Talvesync.cfg", content);
        gf_getCfgData();
    };
    const auto retry = [&] {
        clock->advance(1s);
        gf_handleSocketMessage(kMsgPsxSocket, 0, 0);
    };
    readCfg("PSX_HOSTADDRESS=192.168.1.20\n");
    gf_connectPSX();
    EXPECT_EQ(display->statusText(), "connecting to PSX ...");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0)
            retry();
        notifyPsx(kFdConnect, 10061);
        EXPECT_EQ(display->statusText(), "PSX not detected at 192.168.1.20:10747 (connection refused), retrying ...");
    }
    clock->advance(21s);
    notifyPsx(kFdConnect, 10060);
    EXPECT_EQ(display->statusText(), "PSX not detected at 192.168.1.20:10747 (no answer in 21 s), retrying ...");
    EXPECT_EQ(test::countOf(log(), "\n19: ToPSX not detected (connection refused)\n\n"), 1u) << log();
    EXPECT_EQ(test::countOf(log(), "\n18: Connection attempt to ToPSX timed out\n\n"), 1u) << log();
    EXPECT_EQ(test::countOf(log(), "\nconnecting to PSX ...\n"), 1u) << log();

    readCfg("PSX_HOSTADDRESS=psxpc\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        retry();
        EXPECT_EQ(display->statusText(), "PSX host psxpc not found, retrying ...");
    }
    EXPECT_EQ(test::countOf(log(), "\n20: ToPSX host psxpc not found\n\n"), 1u) << log();
    sockets->names["psxpc"] = "10.0.0.9";
    retry();
    EXPECT_EQ(sockets->script->host, "10.0.0.9");
    notifyPsx(kFdConnect, 0);
    EXPECT_EQ(display->statusText(), "connecting to SIOC ...");

    // Once connected, the same cause is news again.
    clock->advance(1s);
    gf_connectPSX();
    notifyPsx(kFdConnect, 10061);
    EXPECT_EQ(test::countOf(log(), "\n19: ToPSX not detected (connection refused)\n\n"), 2u) << log();

    // A name that is not found on the first attempt, from the start-up thread, is retried too.
    gf_resetConnectionProblems();
    sockets->names.clear();
    const std::size_t retries = clock->delays().size();
    EXPECT_NO_THROW(gf_connectPSX());
    EXPECT_EQ(clock->delays().size(), retries + 1);
    EXPECT_EQ(display->statusText(), "PSX host psxpc not found, retrying ...");
}

// Lines of Talvesync.cfg not understood are noted on the status line until both servers are
// connected; a connection problem goes before the note, and the note comes back after it.
TEST_F(BridgeEngineTest, TheConfigurationNoteStaysUntilBothServersAreConnected)
{
    test::writeFile("Talvesync.cfg", "CDU_FONT_SIZE=40\nhello\n");
    gf_getCfgData();
    const std::string note = "2 lines of Talvesync.cfg not understood, see Log.txt";
    gf_connectSIOC();
    EXPECT_EQ(display->statusText(), note);
    gf_connectPSX();
    EXPECT_EQ(display->statusText(), note);
    notifySioc(kFdConnect, 10061);
    EXPECT_EQ(display->statusText(), "SIOC not detected at 127.0.0.1:8092 (connection refused), retrying ...");
    clock->advance(1s);
    gf_handleSocketMessage(kMsgSiocSocket, 0, 0);
    notifySioc(kFdConnect, 0);
    notifySioc(kFdWrite, 0);
    EXPECT_EQ(display->statusText(), note);
    notifyPsx(kFdConnect, 0);
    EXPECT_EQ(display->statusText(), note); // cleared by the worker, which starts now
    notifyPsx(kFdWrite, 0);
    EXPECT_EQ(workerStarts, 1);
    EXPECT_EQ(test::countOf(log(), "\n" + note + "\n"), 2u) << log(); // once before the problem, once after
    // The log keeps its connecting lines all the same.
    EXPECT_TRUE(contains(log(), "\nconnecting to SIOC ...\n") && contains(log(), "\nconnecting to PSX ...\n")) << log();
}

// A server's goodbye, close, reset or failed read ends the run; the cases are in
// tests/data/engine-server-ends.txt.
class ServerEndTest : public BridgeEngineTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ServerEndTest, EndsTheRunAndSaysGoodbyeToTheOtherServerOnly)
{
    // name, server, notification, error, read, gone, cause, reason, goodbye
    const auto c = test::cells(test::unescape(GetParam()), 9);
    const bool psx = c[1] == "psx";
    connectBoth();
    g_processing = true;
    sockets->script->sent.clear();
    if (c[4] == "reset")
        sockets->script->recvError = 10054;
    else if (!c[4].empty())
        sockets->script->reads = {c[4]};
    (psx ? notifyPsx : notifySioc)(c[2] == "read" ? kFdRead : kFdClose, static_cast<std::uint16_t>(std::stoi(c[3])));

    EXPECT_FALSE(g_processing);
    EXPECT_FALSE(g_exitPending);
    EXPECT_FALSE(g_runFailed);
    EXPECT_EQ(sockets->script->sent, c[8]);
    if (c[5] == "yes") {
        EXPECT_FALSE(psx ? g_psxConnected : g_siocConnected);
        EXPECT_FALSE(psx ? g_ToPSXClient->active() : g_ToSIOCClient->active());
        EXPECT_FALSE(psx ? display->psxConnected() : display->siocConnected());
        EXPECT_TRUE(psx ? display->siocConnected() : display->psxConnected());
    }
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    EXPECT_THAT(log(), AllOf(HasSubstr(c[6]), HasSubstr(c[7]), Not(HasSubstr("System Error")),
                             HasSubstr(psx ? "Force disconnect from SIOC" : "Force disconnect from PSX"),
                             Not(HasSubstr(psx ? "Force disconnect from PSX" : "Force disconnect from SIOC"))));
}

INSTANTIATE_TEST_SUITE_P(GoodbyeCloseResetOrReadError, ServerEndTest, ::testing::ValuesIn(test::dataLines("engine-server-ends.txt")),
                         [](const auto& info) { return test::cells(info.param, 1)[0]; });

// With RECONNECT a lost server is waited for: no goodbye, the other server stays, one attempt a
// second later however often the loss is reported, and once the server takes data again the
// worker is asked to bring it back in step.
class ReconnectTest : public BridgeEngineTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReconnectTest, ALostServerIsRetriedAndBroughtBackInStepWhileTheRunGoesOn)
{
    const bool psx = GetParam();
    const auto notifyLost = psx ? &notifyPsx : &notifySioc;
    cfg::RECONNECT.setRunning(true);
    connectBoth();
    g_processing = true;
    sockets->script->sent.clear();

    notifyLost(kFdClose, 10054);
    gf_connectionLost(ConnectionLostError(psx ? static_cast<TcpClient&>(*g_ToPSXClient) : *g_ToSIOCClient, "reported again"));
    EXPECT_TRUE(g_processing);
    EXPECT_TRUE(g_exitPending);
    EXPECT_EQ(sockets->script->sent, "");
    EXPECT_FALSE(psx ? g_psxConnected : g_siocConnected);
    EXPECT_TRUE(psx ? g_siocConnected : g_psxConnected);
    EXPECT_FALSE(psx ? display->psxConnected() : display->siocConnected());
    EXPECT_EQ(display->statusText(), psx ? "PSX connection lost, reconnecting ..." : "SIOC connection lost, reconnecting ...");
    EXPECT_EQ(clock->delays(), std::vector<std::chrono::milliseconds>{1000ms});

    clock->advance(1s);
    const std::uint32_t message = psx ? kMsgPsxSocket : kMsgSiocSocket;
    ASSERT_EQ(window.posted, std::vector<std::uint32_t>{message});
    gf_handleSocketMessage(message, 0, 0);
    notifyLost(kFdConnect, 0);
    notifyLost(kFdWrite, 0);
    EXPECT_TRUE(psx ? g_psxReturned : g_siocReturned);
    EXPECT_FALSE(psx ? g_siocReturned : g_psxReturned);
    EXPECT_FALSE(psx ? g_psxAway : g_siocAway);
    EXPECT_EQ(workerStarts, 1);

    // Lost again and closed by the user meanwhile: only the server still there is told.
    notifyLost(kFdClose, 0);
    gf_closeRequest();
    EXPECT_EQ(sockets->script->sent, psx ? "Arn.Fin:\r\n" : "exit\r\n");
    EXPECT_FALSE(g_exitPending);
    clock->advance(1s);
    // The retry of the second loss still comes, and neither makes nor announces an attempt after
    // the close.
    EXPECT_EQ(window.posted, (std::vector<std::uint32_t>{message, kMsgFinish, message}));
    const int created = sockets->created;
    const std::string status = display->statusText();
    gf_handleSocketMessage(message, 0, 0);
    EXPECT_EQ(sockets->created, created);
    EXPECT_EQ(display->statusText(), status);
}

INSTANTIATE_TEST_SUITE_P(PsxOrSioc, ReconnectTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Psx" : "Sioc"; });

// Other socket errors are system errors: only logged before processing, the end of a failed run
// while processing. A reset outside a close is ignored.
TEST_F(BridgeEngineTest, SocketErrorsOutsideACloseFailOnlyAProcessingRun)
{
    connectBoth();
    notifyPsx(kFdRead, 10050);
    EXPECT_FALSE(g_runFailed);
    EXPECT_EQ(display->errorText(), "");

    g_processing = true;
    notifySioc(kFdRead, 10053);
    EXPECT_TRUE(g_processing);
    EXPECT_TRUE(g_exitPending);
    notifyPsx(kFdRead, 10050);
    EXPECT_FALSE(g_processing);
    EXPECT_TRUE(g_runFailed);
    EXPECT_TRUE(contains(log(), "\nSystem Error: asyncError ToPSX connection failure - 10050 Network is down\n\n"))
        << log();
    EXPECT_EQ(display->errorText(), "System Error: asyncError ToPSX connection failure - 10050 Network is down\n");

    // An unknown event is a system error named after its handler.
    notifySioc(0x40);
    notifyPsx(0x40);
    EXPECT_TRUE(contains(log(), "System Error: lf_handle_WINSOCK_IOCP_param\n"));
    EXPECT_TRUE(contains(log(), "System Error: lf_handle_WINSOCK_PSX_param\n"));
}

} // namespace
} // namespace brg
