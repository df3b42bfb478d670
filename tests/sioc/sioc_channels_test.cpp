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
using Lines = std::vector<std::string>;

// A control variable that records what SIOC handed it as "N=V", in one list for all.
class RecordingVar : public ControlVar {
public:
    RecordingVar(std::uint32_t number, Lines& calls) : ControlVar("V", number), m_calls(calls) {}
    void setValue(std::int32_t v) override { m_calls.push_back(fmt::format("{}={}", number, v)); }

private:
    Lines& m_calls;
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

    Lines calls;
};

TEST_F(SiocChannels, RegistrationAndValuesAreSplitOnceAPayloadPasses4000Characters)
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
    EXPECT_EQ(sendCalls(), (Lines{first + "\r\n", second + "\r\n"}));

    // "5000=-1234567:" is 14 characters; the 286th group takes the payload to 4004.
    for (int i = 0; i < 300; ++i)
        g_ToSIOCClient->pushElement({5000, -1234567});
    g_ToSIOCClient->flushQueue();
    ASSERT_EQ(sendCalls().size(), 4u);
    EXPECT_EQ(sendCalls()[2].size(), 9 + 286 * 14 + 2u);
    EXPECT_EQ(sendCalls()[3].size(), 9 + 14 * 14 + 2u);
}

// One Resp line per drain, in queue order; the send trace shows lines without their line end.
TEST_F(SiocChannels, ADrainSendsOneRespLineAndTheTraceShowsWhatIsSent)
{
    g_log.open("Log.txt");
    g_ToSIOCClient->sendInicio({3});
    g_ToSIOCClient->sendExit();
    g_log.setTrace(Trace::SiocOut, true);
    g_ToSIOCClient->sendInicio({12, 40});
    for (const ChannelElement& e : std::vector<ChannelElement>{{12, 1}, {40, -250}, {12, 0}})
        g_ToSIOCClient->pushElement(e);
    g_ToSIOCClient->flushQueue();
    g_ToSIOCClient->flushQueue(); // nothing pending: nothing sent
    g_ToSIOCClient->sendExit();
    g_log.close();

    EXPECT_EQ(sendCalls(), (Lines{"Arn.Inicio:3:\r\n", "Arn.Fin:\r\n", "Arn.Inicio:12:40:\r\n",
                                  "Arn.Resp:12=1:40=-250:12=0:\r\n", "Arn.Fin:\r\n"}));
    const std::string log = test::readFile("Log.txt");
    EXPECT_EQ(log.substr(log.find('\n') + 1),
              "            > Arn.Inicio:12:40:\n            > Arn.Resp:12=1:40=-250:12=0:\nFin sent to SIOC\n");
}

// The greeting is only traced; a keep-alive is answered at once, without the pending values; a lone
// number at a line's end is dropped; Fin ends the link after the values before it. Values reach
// their variables in the worker's drain, not on arrival. Another client's variable or a script
// changed while running must not stop the bridge: such values are dropped, the log names each
// number once, and the values around them still count.
TEST_F(SiocChannels, ReceivedValuesReachTheBoundVariablesAndUnregisteredOnesAreDropped)
{
    g_log.open("Log.txt");
    g_log.setTrace(Trace::SiocIn, true);
    Lines asked;
    g_FromSIOCClient->initInicio({7, 5688}, [&](Qcode code) -> std::shared_ptr<Var> {
        asked.push_back(std::to_string(static_cast<std::uint32_t>(code)));
        return std::make_shared<RecordingVar>(static_cast<std::uint32_t>(code), calls);
    });
    EXPECT_EQ(asked, (Lines{"7", "5688"}));

    receive("Arn.TipoSer:IOCP_SERVER 5:\r\n");
    g_ToSIOCClient->pushElement({7, 7});
    receive("Arn.Vivo:\r\n");
    EXPECT_EQ(provider->script->sent, "Arn.Vivo:\r\n");
    // 8 was never registered; 5689 and -5 are outside the table.
    receive("Arn.Resp:7=1:8=1:5689=1:-5=1:5688=-2:7=2:\r\n");
    receive("Arn.Resp:8=3:7=3:-5=0:7:\r\n");
    receive("5:\r\n"); // the lone 7 must not pair with it
    EXPECT_THROW(receive("Arn.Resp:7=4:\r\nArn.Fin:\r\n"), FinReceivedException);
    EXPECT_TRUE(calls.empty());
    g_FromSIOCClient->flushQueue();
    EXPECT_EQ(calls, (Lines{"7=1", "5688=-2", "7=2", "7=3", "7=4"}));
    EXPECT_EQ(g_FromSIOCClient->queuedCount(), 0u);

    const std::string log = test::readFile("Log.txt");
    EXPECT_TRUE(test::contains(log, "\n               < Arn.TipoSer:IOCP_SERVER 5:\r\n"));
    for (const char* number : {"8", "5689", "-5"})
        EXPECT_EQ(test::countOf(log, fmt::format("\nSIOC variable {} is not registered: its values are dropped\n", number)), 1u)
            << number << "\n" << log;
}

TEST_F(SiocChannels, AMalformedWordIsReportedWithTheWholeLine)
{
    for (const std::string line : {"Arn.Resp:7=1:12=abc:\r\n", "Arn.Resp:7=1:--5=1:\r\n", "Arn.Resp:7=1:12=99999999999:\r\n"}) {
        FromSiocChannel channel;
        EXPECT_THAT([&] { channel.decodeMessage(line); },
                    ThrowsMessage<std::runtime_error>(
                        StrEq("From SIOC: " + line + ", str2int32: invalid integer input\n")));
        EXPECT_EQ(channel.queuedElements(), (std::vector<ChannelElement>{{7, 1}})) << line;
    }
}

TEST_F(SiocChannels, BindingStopsAtTheFirstNumberWithoutAVariable)
{
    auto var = std::make_shared<RecordingVar>(3, calls);
    EXPECT_THROW(g_FromSIOCClient->initInicio({3, 4, 5}, [&](Qcode code) { return code == Qcode{4} ? nullptr : var; }),
                 std::runtime_error);
    EXPECT_EQ(g_FromSIOCClient->varTable[3], var);
    EXPECT_EQ(g_FromSIOCClient->varTable[5], nullptr);

    g_varPool->storeVarPtr(std::make_shared<RecordingVar>(12, calls)); // by default the process pool is asked
    g_FromSIOCClient->initInicio({12});
    EXPECT_EQ(g_FromSIOCClient->varTable[12]->number, 12u);
}

} // namespace
} // namespace brg
