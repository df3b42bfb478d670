// The platform's sockets and main loop against a real loopback listener: the notifications must
// come as Winsock sends them, on both platforms.
#include "native_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace brg {
namespace {

using namespace std::chrono_literals;

struct Event {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::uint16_t event;
    std::uint16_t error;
    friend bool operator==(const Event&, const Event&) = default;
};

// The test's own message: ends a run of the loop that waited too long.
constexpr std::uint32_t kMsgTimeOut = 0x80FF;

class SocketLoopTest : public ::testing::Test {
protected:
    // Runs the loop on this thread until `done` holds or the timeout passes; the result of `done`.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s)
    {
        if (done())
            return true;
        m_done = done;
        loop.postAfter(timeout, kMsgTimeOut); // replaces the time-out of an earlier run
        loop.run();
        m_done = nullptr;
        return done();
    }

    const Event* find(const Socket& socket, std::uint16_t event) const
    {
        for (const Event& e : events)
            if (e.wParam == socket.handle() && e.event == event)
                return &e;
        return nullptr;
    }

    NativeMainLoop loop{[this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        if (message != kMsgTimeOut)
            events.push_back({message, wParam, gf_selectEvent(lParam), gf_selectError(lParam)});
        handlerThread = std::this_thread::get_id();
        if (message == kMsgTimeOut || (m_done && m_done()))
            loop.quit();
    }};
    NativeSocketProvider provider;
    TcpListener listener;
    std::vector<Event> events;
    std::thread::id handlerThread;

private:
    std::function<bool()> m_done;
};

TEST_F(SocketLoopTest, ConnectDataAndCloseComeAsWinsockSendsThem)
{
    auto client = provider.create();
    ASSERT_TRUE(client->asyncSelect(loop, kMsgPsxSocket));
    if (client->connect("127.0.0.1", listener.port()) != 0) {
        EXPECT_EQ(client->lastError(), kWsaEWouldBlock);
    }
    auto peer = listener.accept(5s);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(runUntil([&] { return find(*client, kFdWrite); }));
    ASSERT_TRUE(peer->sendAll("Qs1=abc\r\nQh2=5\r\n"));
    peer->close();

    ASSERT_TRUE(runUntil([&] { return find(*client, kFdRead); }));
    // FD_CONNECT, FD_WRITE, one FD_READ: nothing read yet, so no second FD_READ, and no FD_CLOSE
    // while data waits.
    runUntil([] { return false; }, 200ms);
    const std::uintptr_t handle = client->handle();
    EXPECT_EQ(events, (std::vector<Event>{{kMsgPsxSocket, handle, kFdConnect, 0},
                                          {kMsgPsxSocket, handle, kFdWrite, 0},
                                          {kMsgPsxSocket, handle, kFdRead, 0}}));

    // A read that leaves data behind enables the next FD_READ.
    char buffer[64] = {};
    ASSERT_EQ(client->recv(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "Qs1=");
    events.clear();
    ASSERT_TRUE(runUntil([&] { return find(*client, kFdRead); }));
    ASSERT_EQ(client->recv(buffer, sizeof buffer), 12); // sent at once, so here at once
    EXPECT_EQ(std::string(buffer, 12), "abc\r\nQh2=5\r\n");

    ASSERT_TRUE(runUntil([&] { return find(*client, kFdClose); }));
    EXPECT_EQ(find(*client, kFdClose)->error, 0);
    EXPECT_EQ(client->recv(buffer, sizeof buffer), 0);
}

// A port without listener is refused by FD_CONNECT; an address that is no address fails at once.
TEST_F(SocketLoopTest, ConnectionsThatCannotBeMadeAreToldAsWinsockTellsThem)
{
    const std::uint16_t closedPort = TcpListener().port(); // free again once its listener is gone
    auto client = provider.create();
    ASSERT_TRUE(client->asyncSelect(loop, kMsgPsxSocket));
    ASSERT_EQ(client->connect("127.0.0.1", closedPort), -1);
    EXPECT_EQ(client->lastError(), kWsaEWouldBlock);
    ASSERT_TRUE(runUntil([&] { return find(*client, kFdConnect); }));
    EXPECT_EQ(find(*client, kFdConnect)->error, 10061);
    EXPECT_EQ(find(*client, kFdWrite), nullptr);

    for (const char* host : {"not-an-address", "0.0.0.0", ""}) {
        auto other = provider.create();
        ASSERT_TRUE(other->asyncSelect(loop, kMsgPsxSocket));
        EXPECT_EQ(other->connect(host, listener.port()), -1) << host;
        EXPECT_EQ(other->lastError(), 10049) << host;
    }
}

// Posts from another thread come in order on the loop thread; delayed ones no earlier than asked,
// and once when replaced. The close request is a system message number on Windows: it must reach
// the handler too.
TEST_F(SocketLoopTest, PostsComeOnTheLoopThreadInOrderAndDelayedOnesNoEarlierAndOnceWhenReplaced)
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
    std::thread poster([&] {
        loop.post(kMsgStartUp);
        loop.post(kMsgCloseRequest);
        loop.postAfter(300ms, kMsgSiocSocket);
        loop.postAfter(100ms, kMsgPsxSocket);
        loop.postAfter(200ms, kMsgPsxSocket); // replaces the one of 100 ms
    });
    poster.join();
    // The timers tick in steps of about 10 ms on Windows.
    ASSERT_TRUE(runUntil([&] { return events.size() >= 3; }));
    EXPECT_GE(elapsed(), 190ms);
    ASSERT_TRUE(runUntil([&] { return events.size() >= 4; }));
    EXPECT_GE(elapsed(), 290ms);
    EXPECT_FALSE(runUntil([&] { return events.size() >= 5; }, 300ms));
    EXPECT_EQ(events, (std::vector<Event>{{kMsgStartUp, 0, 0, 0},
                                          {kMsgCloseRequest, 0, 0, 0},
                                          {kMsgPsxSocket, 0, 0, 0},
                                          {kMsgSiocSocket, 0, 0, 0}}));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

// A client replaces its socket from the handler: what the old one had waiting must not follow.
TEST_F(SocketLoopTest, ASocketDestroyedWhileItsNotificationsWaitLeavesNoneBehind)
{
    std::unique_ptr<Socket> clients[2] = {provider.create(), provider.create()};
    std::unique_ptr<TcpPeer> peers[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(clients[i]->asyncSelect(loop, kMsgPsxSocket));
        clients[i]->connect("127.0.0.1", listener.port());
        peers[i] = listener.accept(5s); // both connected before the loop looks: both notify at once
        ASSERT_TRUE(peers[i]);
    }
    const std::uintptr_t handles[2] = {clients[0]->handle(), clients[1]->handle()};
    std::uintptr_t gone = 0;
    ASSERT_TRUE(runUntil([&] {
        if (events.empty())
            return false;
        if (!gone) {
            const int other = events[0].wParam == handles[0] ? 1 : 0;
            gone = handles[other];
            clients[other].reset();
            loop.post(kMsgFinish);
        }
        return events.back().message == kMsgFinish;
    }));
    for (const Event& e : events)
        EXPECT_NE(e.wParam, gone);
}

TEST_F(SocketLoopTest, ASocketMayOutliveItsLoop)
{
    // At process end the channels, and their sockets, go after the main loop.
    auto client = provider.create();
    {
        NativeMainLoop shortLived([](std::uint32_t, std::uintptr_t, std::intptr_t) {});
        ASSERT_TRUE(client->asyncSelect(shortLived, kMsgPsxSocket));
        client->connect("127.0.0.1", listener.port());
    }
    const std::string line = "exit\r\n";
    auto peer = listener.accept(5s); // the handshake is complete once accepted
    ASSERT_TRUE(peer);
    ASSERT_EQ(client->send(line.data(), static_cast<int>(line.size())), static_cast<int>(line.size()));
    EXPECT_EQ(peer->receive(5s).value_or(""), line);
    client.reset();
}

} // namespace
} // namespace brg
