#pragma once
// A socket seam that records what would have been sent and serves scripted reads.
#include "net/main_loop.h"
#include "net/socket.h"
#include "support/fake_clock.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brg::test {

struct FakeSocketScript {
    int connectError = kWsaEWouldBlock; // every connect fails with it, would block by default
    // Bytes taken per send call; -1 means "would block". Empty: everything is taken.
    std::deque<int> sendLimits;
    int sendError = kWsaEWouldBlock;
    std::deque<std::string> reads; // each recv returns the next one; none left: would block
    int recvError = kWsaEWouldBlock; // what a recv with no read left fails with
    std::string sent;              // everything taken by send
    std::vector<std::string> sendCalls; // what each send call took, in order
    std::uint32_t selectMessage = 0;
    std::string host;
    std::uint16_t port = 0;
};

class FakeSocket : public Socket {
public:
    explicit FakeSocket(std::shared_ptr<FakeSocketScript> script, std::uintptr_t id)
        : m_script(std::move(script)), m_id(id) {}
    bool valid() const override { return true; }
    std::uintptr_t handle() const override { return m_id; }
    bool asyncSelect(MainLoop&, std::uint32_t message) override;
    int connect(const std::string& host, std::uint16_t port) override;
    int send(const char* data, int length) override;
    int recv(char* buffer, int length) override;
    int lastError() const override { return m_error; }

private:
    std::shared_ptr<FakeSocketScript> m_script;
    std::uintptr_t m_id;
    int m_error = 0;
};

// Installs itself as g_socketProvider; every created socket shares `script`.
class FakeSocketProvider : public SocketProvider {
public:
    static std::shared_ptr<FakeSocketProvider> install();
    int startupResult() const override { return startup; }
    std::unique_ptr<Socket> create() override;
    std::optional<std::string> resolveIPv4(const std::string& hostName) override
    {
        const auto found = names.find(hostName);
        return found == names.end() ? std::nullopt : std::optional(found->second);
    }

    int startup = 0;
    std::map<std::string, std::string> names; // what resolveIPv4 finds
    int created = 0;
    std::shared_ptr<FakeSocketScript> script = std::make_shared<FakeSocketScript>();
};

class NullMainLoop : public MainLoop {
public:
    void post(std::uint32_t message) override { posted.push_back(message); }
    // Kept on `clock`, which must be set: the message is posted when the clock is advanced to it.
    void postAfter(std::chrono::milliseconds delay, std::uint32_t message) override
    {
        clock->runAfter(delay, [this, message] { post(message); });
    }
    std::shared_ptr<FakeClock> clock;
    void quit() override { quitCalled = true; }
    std::vector<std::uint32_t> posted;
    bool quitCalled = false;
};

} // namespace brg::test
