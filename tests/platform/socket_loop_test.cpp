// The platform's sockets and main loop against a real loopback listener: the notifications must
// come as Winsock sends them, on both platforms.
#include "native_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
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
};

class SocketLoopTest : public ::testing::Test {
protected:
    // Runs the loop on this thread until `done` holds or the timeout passes; the result of `done`.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s)
    {
        if (done())
            return true;
        m_done = done;
        std::mutex mutex;
        std::condition_variable finished;
        bool stopped = false;
        std::thread watchdog([&] {
            std::unique_lock lock(mutex);
            if (!finished.wait_for(lock, timeout, [&] { return stopped; }))
                loop.quit();
        });
        loop.run();
        {
            std::lock_guard lock(mutex);
            stopped = true;
        }
        finished.notify_all();
        watchdog.join();
        m_done = nullptr;
        return done();
    }

    std::vector<std::uint16_t> eventsOf(const Socket& socket) const
    {
        std::vector<std::uint16_t> result;
        for (const Event& e : events)
            if (e.message == kMsgPsxSocket && e.wParam == socket.handle())
                result.push_back(e.event);
        return result;
    }
    const Event* find(const Socket& socket, std::uint16_t event) const
    {
        for (const Event& e : events)
            if (e.wParam == socket.handle() && e.event == event)
                return &e;
        return nullptr;
    }
    bool has(const Socket& socket, std::uint16_t event) const { return find(socket, event) != nullptr; }

    // A connected client and the listener's end of it, with the client's FD_WRITE seen.
    std::unique_ptr<TcpPeer> connectClient(Socket& client)
    {
        EXPECT_TRUE(client.asyncSelect(loop, kMsgPsxSocket));
        const int result = client.connect("127.0.0.1", listener.port());
        if (result != 0) {
            EXPECT_EQ(client.lastError(), kWsaEWouldBlock);
        }
        auto peer = listener.accept(5s);
        EXPECT_TRUE(peer);
        EXPECT_TRUE(runUntil([&] { return has(client, kFdWrite); }));
        return peer;
    }

    NativeMainLoop loop{[this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        events.push_back({message, wParam, gf_selectEvent(lParam), gf_selectError(lParam)});
        handlerThread = std::this_thread::get_id();
        if (m_done && m_done())
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
    auto peer = connectClient(*client);
    ASSERT_TRUE(peer->sendAll("Qs1=abc\r\nQh2=5\r\n"));
    peer->close();

    ASSERT_TRUE(runUntil([&] { return has(*client, kFdRead); }));
    // FD_CONNECT, FD_WRITE, one FD_READ: nothing read yet, so no second FD_READ, and no FD_CLOSE
    // while data waits.
    runUntil([] { return false; }, 200ms);
    EXPECT_EQ(eventsOf(*client), (std::vector<std::uint16_t>{kFdConnect, kFdWrite, kFdRead}));
    for (const Event& e : events)
        EXPECT_EQ(e.error, 0);

    // A read that leaves data behind enables the next FD_READ.
    char buffer[64] = {};
    ASSERT_EQ(client->recv(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "Qs1=");
    events.clear();
    ASSERT_TRUE(runUntil([&] { return has(*client, kFdRead); }));
    std::string rest;
    while (rest.size() < 12) {
        const int n = client->recv(buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        rest.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(rest, "abc\r\nQh2=5\r\n");

    ASSERT_TRUE(runUntil([&] { return has(*client, kFdClose); }));
    EXPECT_EQ(find(*client, kFdClose)->error, 0);
    EXPECT_EQ(client->recv(buffer, sizeof buffer), 0);
}

// A port without listener is refused by FD_CONNECT; an address that is no address fails at once.
TEST_F(SocketLoopTest, ConnectionsThatCannotBeMadeAreToldAsWinsockTellsThem)
{
    std::uint16_t closedPort = 0;
    {
        TcpListener gone;
        closedPort = gone.port();
    }
    auto client = provider.create();
    ASSERT_TRUE(client->asyncSelect(loop, kMsgPsxSocket));
    ASSERT_EQ(client->connect("127.0.0.1", closedPort), -1);
    EXPECT_EQ(client->lastError(), kWsaEWouldBlock);
    ASSERT_TRUE(runUntil([&] { return has(*client, kFdConnect); }));
    EXPECT_EQ(find(*client, kFdConnect)->error, 10061);
    EXPECT_FALSE(has(*client, kFdWrite));

    for (const char* host : {"not-an-address", "0.0.0.0", ""}) {
        auto other = provider.create();
        ASSERT_TRUE(other->asyncSelect(loop, kMsgPsxSocket));
        EXPECT_EQ(other->connect(host, listener.port()), -1) << host;
        EXPECT_EQ(other->lastError(), 10049) << host;
    }
}

TEST_F(SocketLoopTest, PostsFromAnotherThreadArriveInOrderOnTheLoopThread)
{
    // The close request is a system message number on Windows: it must reach the handler too.
    std::thread poster([&] {
        loop.post(kMsgStartUp);
        loop.post(kMsgCloseRequest);
    });
    const bool arrived = runUntil([&] { return events.size() >= 2; });
    poster.join();
    ASSERT_TRUE(arrived);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].message, kMsgStartUp);
    EXPECT_EQ(events[1].message, kMsgCloseRequest);
    EXPECT_EQ(events[0].wParam, 0u);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST_F(SocketLoopTest, DelayedPostsComeOnTheLoopThreadNoEarlierAndOnceWhenReplaced)
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
    std::thread poster([&] {
        loop.postAfter(300ms, kMsgSiocSocket);
        loop.postAfter(100ms, kMsgPsxSocket);
        loop.postAfter(200ms, kMsgPsxSocket); // replaces the one of 100 ms
    });
    poster.join();
    // The timers tick in steps of about 10 ms on Windows.
    ASSERT_TRUE(runUntil([&] { return !events.empty(); }));
    EXPECT_GE(elapsed(), 190ms);
    ASSERT_TRUE(runUntil([&] { return events.size() >= 2; }));
    EXPECT_GE(elapsed(), 290ms);
    EXPECT_FALSE(runUntil([&] { return events.size() >= 3; }, 300ms));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].message, kMsgPsxSocket);
    EXPECT_EQ(events[1].message, kMsgSiocSocket);
    EXPECT_EQ(events[0].wParam, 0u);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST_F(SocketLoopTest, ASocketDestroyedBeforeItsNotificationsLeavesNoneBehind)
{
    // As a client replacing its socket does: the new one exists before the old one goes (Winsock
    // hands a closed socket's handle to the next new socket at once).
    auto next = provider.create();
    std::uintptr_t goneHandle = 0;
    {
        auto client = provider.create();
        ASSERT_TRUE(client->asyncSelect(loop, kMsgPsxSocket));
        client->connect("127.0.0.1", listener.port());
        goneHandle = client->handle();
        auto peer = listener.accept(5s);
        ASSERT_TRUE(peer);
        ASSERT_TRUE(peer->sendAll("data\n"));
    }
    ASSERT_NE(next->handle(), goneHandle);
    auto peer = connectClient(*next);
    loop.post(kMsgFinish);
    ASSERT_TRUE(runUntil([&] {
        return std::any_of(events.begin(), events.end(), [](const Event& e) { return e.message == kMsgFinish; });
    }));
    for (const Event& e : events)
        EXPECT_NE(e.wParam, goneHandle);
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
