#include "base/exceptions.h"
#include "base/log.h"
#include "net/tcp_client.h"
#include "support/data_file.h"
#include "support/fake_socket_test.h"

#include <gmock/gmock.h>

#include <sstream>
#include <stdexcept>

namespace brg {
namespace {

using test::readFile;
using Lines = std::vector<std::string>;

class LineRecorder : public ReceivingChannel {
public:
    LineRecorder() : ReceivingChannel("FromTest") {}
    void decodeMessage(const std::string& line) override
    {
        if (line == "boom\n")
            throw std::runtime_error("boom");
        lines.push_back(line);
    }
    Lines lines;

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
    void SetUp() override
    {
        FakeSocketTest::SetUp();
        g_log.open();
    }
    void connect() { client.connectToServer(loop, "127.0.0.1", 10747, 0x8003, receiver); }
    static std::string log()
    {
        g_log.close();
        return readFile("Log.txt");
    }

    std::shared_ptr<LineRecorder> receiver = std::make_shared<LineRecorder>();
    TestClient client;
};

// Text before a connection attempt is dropped; a send that would block keeps the rest for the
// next one; a hard error raises with its text. Every attempt takes a fresh socket.
TEST_F(TcpClientTest, SendingKeepsWhatWouldBlockAndRaisesHardErrors)
{
    client.sendData("lost\r\n");
    connect();
    EXPECT_TRUE(client.active());
    EXPECT_EQ(provider->script->selectMessage, 0x8003u);
    provider->script->sendLimits = {3, -1};
    client.sendData("Qh45=1\r\n");
    EXPECT_EQ(provider->script->sent, "Qh4");
    client.sendData(""); // FD_WRITE pushes out the rest
    EXPECT_EQ(provider->script->sent, "Qh45=1\r\n");
    provider->script->sendLimits = {-1};
    provider->script->sendError = 10054;
    EXPECT_THAT([&] { client.sendData("x"); },
                ::testing::ThrowsMessage<std::runtime_error>("ToPSX sendData 10054 Connection reset by peer"));
    EXPECT_THAT(log(), ::testing::HasSubstr("\nTrace: ToPSX sendData, Operation would block\n"));

    const auto first = client.socketHandle();
    connect();
    EXPECT_NE(client.socketHandle(), first);
    EXPECT_EQ(provider->created, 2);
}

// Lines are split across reads and keep their line end; a line that fails to decode leaves the
// ones after it buffered for the next read. An overlong line is dropped whole and logged once.
TEST_F(TcpClientTest, ReceiveSplitsLinesAndKeepsWhatIsNotDelivered)
{
    connect();
    provider->script->reads = {"Qh1=1\r\nQh2=2\nQh3", "=3\r\nboom\nb\n", "c\n"};
    client.receive();
    EXPECT_EQ(receiver->lines, (Lines{"Qh1=1\r\n", "Qh2=2\n"}));
    EXPECT_THROW(client.receive(), std::runtime_error);
    EXPECT_EQ(receiver->lines.back(), "Qh3=3\r\n");
    client.receive();
    EXPECT_NO_THROW(client.receive()); // a spurious read notification is not an error
    provider->script->reads.assign(30, std::string(40000, 'x'));
    provider->script->reads.push_back("tail\nnext\n");
    for (int i = 0; i < 31; ++i)
        client.receive();
    EXPECT_EQ(receiver->lines, (Lines{"Qh1=1\r\n", "Qh2=2\n", "Qh3=3\r\n", "b\n", "c\n", "next\n"}));
    EXPECT_EQ(test::countOf(log(), "line longer than"), 1u);
}

TEST_F(TcpClientTest, ConnectFailuresAndAsyncErrorsHaveTheirTexts)
{
    using ::testing::ThrowsMessage;
    provider->script->connectError = 10049;
    EXPECT_THAT([&] { connect(); }, ThrowsMessage<std::exception>("17: connect to TCP/IP failure: 127.0.0.1, 10747, "
                                                                 "10049 Can't assign requested address"));
    provider->startup = 10091;
    EXPECT_THAT([&] { connect(); }, ThrowsMessage<std::exception>("connectToServer ToPSX WSA startup error: 10091"));

    for (const std::string& row : test::dataLines("socket-errors.txt")) {
        std::istringstream words(row);
        int code = 0;
        std::string expected;
        std::getline(words >> code >> std::ws, expected);
        if (expected == "none")
            EXPECT_NO_THROW(client.asyncError(code)) << row;
        else
            EXPECT_THAT([&] { client.asyncError(code); }, ThrowsMessage<std::exception>(expected)) << row;
    }
    EXPECT_THROW(client.asyncError(10061), UserErrorException);
    EXPECT_THROW(client.asyncError(10047), UserIPAddressErrorException);
}

} // namespace
} // namespace brg
