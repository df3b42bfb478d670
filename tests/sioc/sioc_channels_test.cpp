#include "app/exceptions.h"
#include "app/log.h"
#include "app/process_state.h"
#include "net/main_loop.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/to_sioc_channel.h"
#include "support/fake_socket.h"
#include "support/fresh_state.h"

#include <gtest/gtest.h>
#include <map>

namespace brg {
namespace {

using test::FakeSocketProvider;

// A control variable that only records what SIOC handed it.
class RecordingVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void setValue(std::int32_t v) override { received.push_back(v); }
    std::vector<std::int32_t> received;
};

class SiocChannels : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        provider = FakeSocketProvider::install();
        FromSIOCClient->peer = ToSIOCClient;
        ToSIOCClient->connectToServer(loop, "127.0.0.1", 8092, kMsgSiocSocket, FromSIOCClient);
    }
    void TearDown() override
    {
        g_socketProvider.reset();
        TempDirTest::TearDown();
    }

    // Delivers raw bytes as the server would send them.
    void receive(const std::string& bytes)
    {
        provider->script->reads.push_back(bytes);
        ToSIOCClient->receive();
    }
    const std::vector<std::string>& sendCalls() const { return provider->script->sendCalls; }

    std::shared_ptr<FakeSocketProvider> provider;
    test::NullMainLoop loop;
};

TEST_F(SiocChannels, RegistrationIsSplitOnceAPayloadPasses4000Characters)
{
    ToSIOCClient->sendInicio({});
    EXPECT_TRUE(sendCalls().empty());

    std::set<std::uint32_t> numbers;
    for (std::uint32_t n = 1000; n < 2000; ++n)
        numbers.insert(n);
    ToSIOCClient->sendInicio(numbers);

    ASSERT_EQ(sendCalls().size(), 2u);
    std::string first = "Arn.Inicio:";
    for (std::uint32_t n = 1000; n < 1801; ++n)
        first += std::to_string(n) + ":";
    EXPECT_EQ(sendCalls()[0], first + "\r\n");
    EXPECT_EQ(first.size() - 11, 4005u);
    std::string second = "Arn.Inicio:";
    for (std::uint32_t n = 1801; n < 2000; ++n)
        second += std::to_string(n) + ":";
    EXPECT_EQ(sendCalls()[1], second + "\r\n");
}

TEST_F(SiocChannels, ADrainSendsItsValuesAsOneRespLineInQueueOrder)
{
    ToSIOCClient->pushElement({12, 1});
    ToSIOCClient->pushElement({40, -250});
    ToSIOCClient->pushElement({12, 0});
    ToSIOCClient->flushQueue();
    EXPECT_EQ(sendCalls(), (std::vector<std::string>{"Arn.Resp:12=1:40=-250:12=0:\r\n"}));

    ToSIOCClient->flushQueue(); // nothing pending: nothing sent
    EXPECT_EQ(sendCalls().size(), 1u);
}

TEST_F(SiocChannels, RespLinesAreCutInTheMiddleOfALongDrain)
{
    // "5000=-1234567:" is 14 characters; the 286th group takes the payload to 4004.
    for (int i = 0; i < 300; ++i)
        ToSIOCClient->pushElement({5000, -1234567});
    ToSIOCClient->flushQueue();
    ASSERT_EQ(sendCalls().size(), 2u);
    EXPECT_EQ(sendCalls()[0].size(), 9 + 286 * 14 + 2u);
    EXPECT_EQ(sendCalls()[1].size(), 9 + 14 * 14 + 2u);
    EXPECT_EQ(sendCalls()[1].substr(0, 23), "Arn.Resp:5000=-1234567:");
}

TEST_F(SiocChannels, TracesShowRegistrationAndValueLinesWithoutTheirLineEnd)
{
    g_log.open("Log.txt");
    g_log.setTrace(Trace::SiocOut, true);
    ToSIOCClient->sendInicio({12, 40});
    ToSIOCClient->pushElement({12, 1});
    ToSIOCClient->flushQueue();
    ToSIOCClient->sendExit();
    g_log.close();

    const std::string log = test::readFile("Log.txt");
    EXPECT_NE(log.find("\n            > Arn.Inicio:12:40:\n            > Arn.Resp:12=1:\nFin sent to SIOC\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(provider->script->sent, "Arn.Inicio:12:40:\r\nArn.Resp:12=1:\r\nArn.Fin:\r\n");
}

TEST_F(SiocChannels, SilentWhenTheSendTraceIsOff)
{
    g_log.open("Log.txt");
    ToSIOCClient->sendInicio({12});
    ToSIOCClient->sendExit();
    g_log.close();
    const std::string log = test::readFile("Log.txt");
    EXPECT_EQ(log.find("Arn."), std::string::npos);
    EXPECT_EQ(log.find("Fin sent"), std::string::npos);
}

TEST_F(SiocChannels, KeepAliveIsAnsweredOnceAndAtOnce)
{
    ToSIOCClient->pushElement({7, 7}); // pending values do not travel with the answer
    receive("Arn.Vivo:\r\n");
    EXPECT_EQ(provider->script->sent, "Arn.Vivo:\r\n");
    EXPECT_EQ(FromSIOCClient->queuedCount(), 0u);
}

TEST_F(SiocChannels, ValueLinesQueueNumberValuePairs)
{
    receive("Arn.Resp:7=1:8=-3:\r\n");
    EXPECT_EQ(FromSIOCClient->queuedElements(), (std::vector<ChannelElement>{{7, 1}, {8, -3}}));
}

TEST_F(SiocChannels, ANumberWithoutValueIsDroppedAtTheEndOfItsLine)
{
    receive("Arn.Resp:7=1:8:\r\n");
    receive("5:\r\n"); // the lone 8 must not pair with it
    EXPECT_EQ(FromSIOCClient->queuedElements(), (std::vector<ChannelElement>{{7, 1}}));
}

TEST_F(SiocChannels, FinEndsTheLinkAfterTheValuesBeforeIt)
{
    EXPECT_THROW(receive("Arn.Resp:7=1:\r\nArn.Fin:\r\n"), FinReceivedException);
    EXPECT_EQ(FromSIOCClient->queuedElements(), (std::vector<ChannelElement>{{7, 1}}));
}

TEST_F(SiocChannels, AMalformedWordIsReportedWithTheWholeLine)
{
    for (const std::string& line : {std::string("Arn.Resp:7=1:12=abc:\r\n"), std::string("Arn.Resp:7=1:--5=1:\r\n"),
                                    std::string("Arn.Resp:7=1:12=99999999999:\r\n")}) {
        SCOPED_TRACE(line);
        FromSiocChannel channel;
        try {
            channel.decodeMessage(line);
            ADD_FAILURE() << "no exception";
        } catch (const FinReceivedException&) {
            ADD_FAILURE() << "wrong exception";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "From SIOC: " + line + ", str2int32: invalid integer input\n");
        }
        EXPECT_EQ(channel.queuedElements(), (std::vector<ChannelElement>{{7, 1}}));
    }
}

TEST_F(SiocChannels, TheServerGreetingIsTracedAndOtherwiseIgnored)
{
    g_log.open("Log.txt");
    g_log.setTrace(Trace::SiocIn, true);
    EXPECT_NO_THROW(receive("Arn.TipoSer:IOCP_SERVER 5:\r\n"));
    g_log.close();
    EXPECT_EQ(FromSIOCClient->queuedCount(), 0u);
    EXPECT_TRUE(provider->script->sent.empty());
    EXPECT_NE(test::readFile("Log.txt").find("               < Arn.TipoSer:IOCP_SERVER 5:\r\n"), std::string::npos);
}

TEST_F(SiocChannels, ReceivedValuesReachTheBoundVariablesWhenDrained)
{
    std::map<std::uint32_t, std::shared_ptr<RecordingVar>> vars;
    for (std::uint32_t n : {7u, 5688u})
        vars[n] = std::make_shared<RecordingVar>("V", n);
    std::vector<std::uint32_t> asked;
    FromSIOCClient->initInicio({7, 5688}, [&](Qcode code) -> std::shared_ptr<Var> {
        asked.push_back(static_cast<std::uint32_t>(code));
        return vars.at(static_cast<std::uint32_t>(code));
    });
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{7, 5688}));

    receive("Arn.Resp:7=1:5688=-2:7=0:\r\n");
    EXPECT_TRUE(vars[7]->received.empty()); // applied by the worker's drain, not on arrival
    FromSIOCClient->flushQueue();
    EXPECT_EQ(vars[7]->received, (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(vars[5688]->received, (std::vector<std::int32_t>{-2}));
}

TEST_F(SiocChannels, UnboundAndOutOfRangeNumbersFailWhenDrained)
{
    auto seven = std::make_shared<RecordingVar>("V", 7);
    // 8 was never registered; 5689 and -5 are outside the table.
    for (const std::string& number : {std::string("8"), std::string("5689"), std::string("-5")}) {
        SCOPED_TRACE(number);
        seven->received.clear();
        FromSiocChannel channel;
        channel.initInicio({7}, [&](Qcode) -> std::shared_ptr<Var> { return seven; });
        EXPECT_NO_THROW(channel.decodeMessage("Arn.Resp:7=1:" + number + "=1:7=2:\r\n"));
        try {
            channel.flushQueue();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "flushElement");
        }
        EXPECT_EQ(seven->received, (std::vector<std::int32_t>{1}));
        EXPECT_EQ(channel.queuedCount(), 2u); // the failing element and the one after it
    }
}

TEST_F(SiocChannels, BindingStopsAtTheFirstNumberWithoutAVariable)
{
    auto var = std::make_shared<RecordingVar>("V", 3);
    EXPECT_THROW(
        {
            try {
                FromSIOCClient->initInicio({3, 4, 5}, [&](Qcode code) -> std::shared_ptr<Var> {
                    return static_cast<std::uint32_t>(code) == 4 ? nullptr : var;
                });
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "initInicio");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(FromSIOCClient->varTable[3], var);
    EXPECT_EQ(FromSIOCClient->varTable[5], nullptr);
}

} // namespace
} // namespace brg
