#include "base/exceptions.h"
#include "base/log.h"
#include "net/tcp_client.h"
#include "support/fake_socket_test.h"

#include <gmock/gmock.h>

#include <stdexcept>

namespace brg {
namespace {

using test::readFile;

class LineRecorder : public ReceivingChannel {
public:
    LineRecorder() : ReceivingChannel("FromTest") {}
    void decodeMessage(const std::string& line) override
    {
        if (line == "boom\n")
            throw std::runtime_error("boom");
        lines.push_back(line);
    }
    std::vector<std::string> lines;

protected:
    void flushElement(const ChannelElement&) override {}
};

class TestClient : public TcpClient {
public:
    TestClient() : TcpClient("ToPSX") {}
    void sendExit() override { sendData("exit\r\n"); }

protected:
    void flushElement(const ChannelElement&) override {}
};

class TcpClientTest : public test::FakeSocketTest {
protected:
    void connect() { client.connectToServer(loop, "127.0.0.1", 10747, 0x8003, receiver); }

    std::shared_ptr<LineRecorder> receiver = std::make_shared<LineRecorder>();
    TestClient client;
};

TEST_F(TcpClientTest, SendDataDropsTextUntilAConnectionAttemptIsUnderWay)
{
    client.sendData("lost\r\n");
    connect();
    EXPECT_TRUE(client.active());
    EXPECT_EQ(provider->script->selectMessage, 0x8003u);
    client.sendData("Qh45=1\r\n");
    EXPECT_EQ(provider->script->sent, "Qh45=1\r\n");
}

TEST_F(TcpClientTest, WouldBlockKeepsTheRestForTheNextSendAndTracesIt)
{
    g_log.open();
    connect();
    provider->script->sendLimits = {3, -1};
    client.sendData("abcdef");
    EXPECT_EQ(provider->script->sent, "abc");
    client.sendData(""); // FD_WRITE pushes out the rest
    EXPECT_EQ(provider->script->sent, "abcdef");
    g_log.close();
    EXPECT_NE(readFile("Log.txt").find("\nTrace: ToPSX sendData, Operation would block\n"), std::string::npos);
}

TEST_F(TcpClientTest, HardSendErrorRaisesWithItsText)
{
    connect();
    provider->script->sendLimits = {-1};
    provider->script->sendError = 10054;
    EXPECT_THAT([&] { client.sendData("x"); },
                ::testing::ThrowsMessage<std::runtime_error>("ToPSX sendData 10054 Connection reset by peer"));
}

TEST_F(TcpClientTest, ReceiveSplitsLinesAndKeepsTheHalfLine)
{
    connect();
    provider->script->reads = {"Qh1=1\r\nQh2=2\nQh3", "=3\r\n"};
    client.receive();
    EXPECT_EQ(receiver->lines, (std::vector<std::string>{"Qh1=1\r\n", "Qh2=2\n"}));
    client.receive();
    EXPECT_EQ(receiver->lines.back(), "Qh3=3\r\n");
    // Nothing left: a spurious read notification is not an error.
    EXPECT_NO_THROW(client.receive());
}

TEST_F(TcpClientTest, DecodeFailureLeavesTheUndeliveredLinesBuffered)
{
    connect();
    provider->script->reads = {"a\nboom\nb\n", "c\n"};
    EXPECT_THROW(client.receive(), std::runtime_error);
    EXPECT_EQ(receiver->lines, (std::vector<std::string>{"a\n"}));
    client.receive();
    EXPECT_EQ(receiver->lines, (std::vector<std::string>{"a\n", "b\n", "c\n"}));
}

TEST_F(TcpClientTest, OverlongLineIsDroppedWholeAndLoggedOnce)
{
    g_log.open();
    connect();
    const std::string chunk(40000, 'x');
    for (int i = 0; i < 30; ++i)
        provider->script->reads.push_back(chunk);
    provider->script->reads.push_back("tail\nnext\n");
    for (int i = 0; i < 32; ++i)
        client.receive();
    EXPECT_EQ(receiver->lines, (std::vector<std::string>{"next\n"}));
    g_log.close();
    const std::string log = readFile("Log.txt");
    const auto first = log.find("line longer than");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("line longer than", first + 1), std::string::npos);
}

TEST_F(TcpClientTest, ConnectFailuresAndAsyncErrorsHaveTheirTexts)
{
    const auto text = [&](auto call) {
        try {
            call();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("none");
    };
    provider->script->connectError = 10049;
    EXPECT_EQ(text([&] { connect(); }),
              "17: connect to TCP/IP failure: 127.0.0.1, 10747, 10049 Can't assign requested address");
    provider->startup = 10091;
    EXPECT_EQ(text([&] { connect(); }), "connectToServer ToPSX WSA startup error: 10091");

    for (const auto& [code, expected] : std::vector<std::pair<int, std::string>>{
             {10061, "19: ToPSX not detected (connection refused)"},
             {10060, "18: Connection attempt to ToPSX timed out"},
             {10048, "77: Address already in use"},
             {10053, "none"},
             {10054, "none"},
             {10050, "asyncError ToPSX connection failure - 10050 Network is down"},
             {42, "asyncError ToPSX connection failure - Unknown errror code: 42"}})
        EXPECT_EQ(text([&] { client.asyncError(code); }), expected) << code;
    EXPECT_THROW(client.asyncError(10061), UserErrorException);
    EXPECT_THROW(client.asyncError(10047), UserIPAddressErrorException);
}

TEST_F(TcpClientTest, EveryAttemptUsesAFreshSocket)
{
    connect();
    const auto first = client.socketHandle();
    connect();
    EXPECT_NE(client.socketHandle(), first);
    EXPECT_EQ(provider->created, 2);
}

} // namespace
} // namespace brg
