#include "base/exceptions.h"
#include "base/log.h"
#include "net/tcp_client.h"
#include "support/fake_socket.h"
#include "support/fresh_state.h"

#include <stdexcept>

namespace brg {
namespace {

using test::FakeSocketProvider;
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

class TcpClientTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        provider = FakeSocketProvider::install();
        receiver = std::make_shared<LineRecorder>();
    }
    void TearDown() override
    {
        g_socketProvider.reset();
        TempDirTest::TearDown();
    }
    void connect() { client.connectToServer(loop, "127.0.0.1", 10747, 0x8003, receiver); }

    std::shared_ptr<FakeSocketProvider> provider;
    std::shared_ptr<LineRecorder> receiver;
    test::NullMainLoop loop;
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
    try {
        client.sendData("x");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ToPSX sendData 10054 Connection reset by peer");
    }
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
    provider->script->connectError = 10049;
    try {
        connect();
        FAIL();
    } catch (const UserErrorException& e) {
        EXPECT_STREQ(e.what(), "17: connect to TCP/IP failure: 127.0.0.1, 10747, 10049 Can't assign requested address");
    }
    provider->script->valid = false;
    EXPECT_THROW(connect(), std::runtime_error);
    provider->startup = 10091;
    try {
        connect();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "connectToServer ToPSX WSA startup error: 10091");
    }

    const auto text = [&](int code) {
        try {
            client.asyncError(code);
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("none");
    };
    EXPECT_EQ(text(10061), "19: ToPSX not detected (connection refused)");
    EXPECT_EQ(text(10060), "18: Connection attempt to ToPSX timed out");
    EXPECT_EQ(text(10048), "77: Address already in use");
    EXPECT_EQ(text(10053), "none");
    EXPECT_EQ(text(10054), "none");
    EXPECT_EQ(text(10050), "asyncError ToPSX connection failure - 10050 Network is down");
    EXPECT_THROW(client.asyncError(10061), UserErrorException);
    EXPECT_THROW(client.asyncError(10047), UserIPAddressErrorException);
}

TEST(WsaErrorText, KnownAndUnknownCodes)
{
    EXPECT_EQ(TcpClient::wsaErrorText(10061), "10061 Connection refused");
    EXPECT_EQ(TcpClient::wsaErrorText(11004), "11004 No host data of that type was found");
    EXPECT_EQ(TcpClient::wsaErrorText(10058), "10058 Can't send numLines socket shutdown");
    EXPECT_EQ(TcpClient::wsaErrorText(42), "Unknown errror code: 42");
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
