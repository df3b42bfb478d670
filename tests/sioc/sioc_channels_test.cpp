#include "base/exceptions.h"
#include "app/process_state.h"
#include "base/log.h"
#include "net/main_loop.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/iocp_words.h"
#include "sioc/to_sioc_channel.h"
#include "support/fake_socket_test.h"

#include <fmt/format.h>
#include <gmock/gmock.h>

#include <random>
#include <regex>

namespace brg {
namespace {

using Lines = std::vector<std::string>;

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
// their variables, which pass them on to PSX, in the worker's drain, not on arrival. Another
// client's variable or a script changed while running must not stop the bridge: such values are
// dropped, the log names each number once, and the values around them still count.
TEST_F(SiocChannels, ReceivedValuesReachTheBoundVariablesAndUnregisteredOnesAreDropped)
{
    g_log.open("Log.txt");
    g_log.setTrace(Trace::SiocIn, true);
    g_FromSIOCClient->initInicio({7, 5688}, [](Qcode code) -> std::shared_ptr<Var> {
        return std::make_shared<ControlVar>("V", static_cast<std::uint32_t>(code));
    });

    receive("Arn.TipoSer:IOCP_SERVER 5:\r\n");
    g_ToSIOCClient->pushElement({7, 7});
    receive("Arn.Vivo:\r\n");
    EXPECT_EQ(provider->script->sent, "Arn.Vivo:\r\n");
    // 8 was never registered; 5689 and -5 are outside the table.
    receive("Arn.Resp:7=1:8=1:5689=1:-5=1:5688=-2:7=2:\r\n");
    receive("Arn.Resp:8=3:7=3:-5=0:7:\r\n");
    receive("5:\r\n"); // the lone 7 must not pair with it
    EXPECT_THROW(receive("Arn.Resp:7=4:\r\nArn.Fin:\r\n"), FinReceivedException);
    EXPECT_EQ(g_ToPSXClient->queuedCount(), 0u);
    g_FromSIOCClient->flushQueue();
    EXPECT_EQ(g_ToPSXClient->queuedElements(), (std::vector<ChannelElement>{{7, 1}, {5688, -2}, {7, 2}, {7, 3}, {7, 4}}));
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
                    ::testing::ThrowsMessage<std::runtime_error>("From SIOC: " + line + ", str2int32: invalid integer input\n"));
        EXPECT_EQ(channel.queuedElements(), (std::vector<ChannelElement>{{7, 1}})) << line;
    }
}

TEST_F(SiocChannels, BindingStopsAtTheFirstNumberWithoutAVariable)
{
    auto var = std::make_shared<ControlVar>("V", 3);
    EXPECT_THROW(g_FromSIOCClient->initInicio({3, 4, 5}, [&](Qcode code) { return code == Qcode{4} ? nullptr : var; }),
                 std::runtime_error);
    EXPECT_EQ(g_FromSIOCClient->varTable[3], var);
    EXPECT_EQ(g_FromSIOCClient->varTable[5], nullptr);
}

std::vector<std::string> lf_regexWords(const std::string& line)
{
    static const std::regex word("-*\\w+", std::regex::ECMAScript);
    std::vector<std::string> words;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back(it->str());
    return words;
}

std::vector<std::string> lf_walkerWords(const std::string& line)
{
    std::vector<std::string> words;
    for (std::string_view w : gf_iocpWords(line))
        words.emplace_back(w);
    return words;
}

// The walker must accept exactly what the regular expression accepts, on protocol-like lines and
// on arbitrary bytes (high bytes, NUL, control characters): "a-b --5 -- : x--" is a, -b, --5, x.
TEST(IocpWords, AgreesWithTheRegularExpressionOnGeneratedLines)
{
    std::mt19937 random(20261206);
    const std::string protocolAlphabet = "ArnRespVivoFinTipoSer0123456789-_.:=\r\n ";
    for (int i = 0; i < 20000; ++i) {
        const bool hostile = i % 2 == 1;
        std::string line(std::uniform_int_distribution<std::size_t>(0, 60)(random), '\0');
        for (char& c : line)
            c = hostile ? static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random))
                        : protocolAlphabet[std::uniform_int_distribution<std::size_t>(
                              0, protocolAlphabet.size() - 1)(random)];
        ASSERT_EQ(lf_walkerWords(line), lf_regexWords(line)) << "line #" << i;
    }
}

} // namespace
} // namespace brg
