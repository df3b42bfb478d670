#include "base/exceptions.h"
#include "app/process_state.h"
#include "base/log.h"
#include "net/main_loop.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/to_sioc_channel.h"
#include "support/fake_socket_test.h"
#include "vars/var_pool.h"

#include <fmt/format.h>
#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;
using Elements = std::vector<ChannelElement>;

// A control variable that only records what SIOC handed it.
class RecordingVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void setValue(std::int32_t v) override { received.push_back(v); }
    std::vector<std::int32_t> received;
};

class SiocChannels : public test::FakeSocketTest {
protected:
    void SetUp() override
    {
        FakeSocketTest::SetUp();
        g_FromSIOCClient->peer = g_ToSIOCClient;
        g_ToSIOCClient->connectToServer(loop, "127.0.0.1", 8092, kMsgSiocSocket, g_FromSIOCClient);
    }

    // Delivers raw bytes as the server would send them.
    void receive(const std::string& bytes)
    {
        provider->script->reads.push_back(bytes);
        g_ToSIOCClient->receive();
    }
};

TEST_F(SiocChannels, RegistrationIsSplitOnceAPayloadPasses4000Characters)
{
    g_ToSIOCClient->sendInicio({});
    EXPECT_TRUE(sendCalls().empty());

    // 1000 four-digit numbers: the 801st group takes the payload to 4005 characters.
    std::set<std::uint32_t> numbers;
    std::string first = "Arn.Inicio:", second = "Arn.Inicio:";
    for (std::uint32_t n = 1000; n < 2000; ++n) {
        numbers.insert(n);
        (n < 1801 ? first : second) += std::to_string(n) + ":";
    }
    g_ToSIOCClient->sendInicio(numbers);
    EXPECT_EQ(sendCalls(), (std::vector<std::string>{first + "\r\n", second + "\r\n"}));
}

TEST_F(SiocChannels, ADrainSendsOneRespLineInQueueOrderUnlessItPasses4000Characters)
{
    g_ToSIOCClient->pushElement({12, 1});
    g_ToSIOCClient->pushElement({40, -250});
    g_ToSIOCClient->pushElement({12, 0});
    g_ToSIOCClient->flushQueue();
    g_ToSIOCClient->flushQueue(); // nothing pending: nothing sent
    EXPECT_EQ(sendCalls(), (std::vector<std::string>{"Arn.Resp:12=1:40=-250:12=0:\r\n"}));

    // "5000=-1234567:" is 14 characters; the 286th group takes the payload to 4004.
    for (int i = 0; i < 300; ++i)
        g_ToSIOCClient->pushElement({5000, -1234567});
    g_ToSIOCClient->flushQueue();
    ASSERT_EQ(sendCalls().size(), 3u);
    EXPECT_EQ(sendCalls()[1].size(), 9 + 286 * 14 + 2u);
    EXPECT_EQ(sendCalls()[2].size(), 9 + 14 * 14 + 2u);
}

TEST_F(SiocChannels, TheSendTraceShowsLinesWithoutTheirLineEndAndTheFin)
{
    g_log.open("Log.txt");
    g_ToSIOCClient->sendInicio({3});
    g_ToSIOCClient->sendExit();
    g_log.setTrace(Trace::SiocOut, true);
    g_ToSIOCClient->sendInicio({12, 40});
    g_ToSIOCClient->pushElement({12, 1});
    g_ToSIOCClient->flushQueue();
    g_ToSIOCClient->sendExit();
    g_log.close();

    const std::string log = test::readFile("Log.txt");
    EXPECT_EQ(log.substr(log.find('\n') + 1),
              "            > Arn.Inicio:12:40:\n            > Arn.Resp:12=1:\nFin sent to SIOC\n");
    EXPECT_EQ(provider->script->sent, "Arn.Inicio:3:\r\nArn.Fin:\r\nArn.Inicio:12:40:\r\nArn.Resp:12=1:\r\nArn.Fin:\r\n");
}

// The greeting is only traced; a keep-alive is answered at once, without the pending values; a
// lone number at a line's end is dropped; Fin ends the link after the values before it.
TEST_F(SiocChannels, ReceivedLinesQueuePairsAndAnswerWhatNeedsAnAnswer)
{
    g_log.open("Log.txt");
    g_log.setTrace(Trace::SiocIn, true);
    receive("Arn.TipoSer:IOCP_SERVER 5:\r\n");
    EXPECT_EQ(g_FromSIOCClient->queuedCount(), 0u);
    EXPECT_TRUE(provider->script->sent.empty());
    g_ToSIOCClient->pushElement({7, 7});
    receive("Arn.Vivo:\r\n");
    EXPECT_EQ(provider->script->sent, "Arn.Vivo:\r\n");
    receive("Arn.Resp:7=1:8=-3:\r\n");
    receive("Arn.Resp:7=1:8:\r\n");
    receive("5:\r\n"); // the lone 8 must not pair with it
    EXPECT_THROW(receive("Arn.Resp:9=1:\r\nArn.Fin:\r\n"), FinReceivedException);
    EXPECT_EQ(g_FromSIOCClient->queuedElements(), (Elements{{7, 1}, {8, -3}, {7, 1}, {9, 1}}));
    g_log.close();
    EXPECT_TRUE(test::contains(test::readFile("Log.txt"), "\n               < Arn.TipoSer:IOCP_SERVER 5:\r\n"));
}

TEST_F(SiocChannels, AMalformedWordIsReportedWithTheWholeLine)
{
    for (const std::string line : {"Arn.Resp:7=1:12=abc:\r\n", "Arn.Resp:7=1:--5=1:\r\n", "Arn.Resp:7=1:12=99999999999:\r\n"}) {
        FromSiocChannel channel;
        EXPECT_THAT([&] { channel.decodeMessage(line); },
                    ThrowsMessage<std::runtime_error>(
                        StrEq("From SIOC: " + line + ", str2int32: invalid integer input\n")));
        EXPECT_EQ(channel.queuedElements(), (Elements{{7, 1}})) << line;
    }
}

// Values reach their variables in the worker's drain, not on arrival. Another client's variable
// or a script changed while running must not stop the bridge: such values are dropped, the log
// names each number once, and the values around them still count.
TEST_F(SiocChannels, ReceivedValuesReachTheBoundVariablesAndUnregisteredOnesAreDropped)
{
    g_log.open();
    auto seven = std::make_shared<RecordingVar>("V", 7);
    auto last = std::make_shared<RecordingVar>("W", 5688);
    std::vector<std::uint32_t> asked;
    g_FromSIOCClient->initInicio({7, 5688}, [&](Qcode code) -> std::shared_ptr<Var> {
        asked.push_back(static_cast<std::uint32_t>(code));
        return asked.back() == 7 ? seven : last;
    });
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{7, 5688}));
    // 8 was never registered; 5689 and -5 are outside the table.
    receive("Arn.Resp:7=1:8=1:5689=1:-5=1:5688=-2:7=2:\r\n");
    receive("Arn.Resp:8=3:7=3:-5=0:\r\n");
    EXPECT_TRUE(seven->received.empty());
    g_FromSIOCClient->flushQueue();
    EXPECT_EQ(seven->received, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(last->received, (std::vector<std::int32_t>{-2}));
    EXPECT_EQ(g_FromSIOCClient->queuedCount(), 0u);
    const std::string log = test::readFile("Log.txt");
    for (const char* number : {"8", "5689", "-5"})
        EXPECT_EQ(test::countOf(log, fmt::format("\nSIOC variable {} is not registered: its values are dropped\n", number)), 1u)
            << number << "\n" << log;
}

TEST_F(SiocChannels, BindingStopsAtTheFirstNumberWithoutAVariable)
{
    auto var = std::make_shared<RecordingVar>("V", 3);
    const auto lookup = [&](Qcode code) -> std::shared_ptr<Var> {
        return static_cast<std::uint32_t>(code) == 4 ? nullptr : var;
    };
    EXPECT_THROW(g_FromSIOCClient->initInicio({3, 4, 5}, lookup), std::runtime_error);
    EXPECT_EQ(g_FromSIOCClient->varTable[3], var);
    EXPECT_EQ(g_FromSIOCClient->varTable[5], nullptr);

    auto pooled = std::make_shared<RecordingVar>("P", 12); // by default the process pool is asked
    g_varPool->storeVarPtr(pooled);
    g_FromSIOCClient->initInicio({12});
    EXPECT_EQ(g_FromSIOCClient->varTable[12], pooled);
}

} // namespace
} // namespace brg
