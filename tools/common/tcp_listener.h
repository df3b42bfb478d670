#pragma once
// The server side of a TCP connection with plain blocking calls and timeouts: what the loopback
// tests and the stand-in servers need, never the bridge itself (it is built into its own library,
// which the programs do not link).
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brg {

// A descriptor on POSIX, a SOCKET on Windows.
using NativeSocketHandle = std::intptr_t;

class TcpPeer {
public:
    explicit TcpPeer(NativeSocketHandle socket) : m_socket(socket) {}
    ~TcpPeer();
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    // Sends everything, waiting while the network is busy; false once the connection is gone.
    bool sendAll(std::string_view data);
    // Waits up to `timeout` for data: the bytes, "" when none came, nullopt once the peer has
    // closed or the connection failed.
    std::optional<std::string> receive(std::chrono::milliseconds timeout);
    // Ends the connection in both directions (a blocked receive() on another thread returns).
    void close();
    // Aborts the connection: the peer gets a reset (RST) instead of an orderly close. A receive()
    // on another thread returns nullopt.
    void reset();
    // Sends each write at once instead of gathering small ones (a line trickled byte by byte).
    void sendAtOnce();

private:
    NativeSocketHandle m_socket;
};

class TcpListener {
public:
    // Listens on address:port, port 0 taking a free one. Throws std::runtime_error on failure.
    explicit TcpListener(std::uint16_t port = 0, const std::string& address = "127.0.0.1");
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    std::uint16_t port() const { return m_port; }
    // The next connection, or null when none came within `timeout`.
    std::unique_ptr<TcpPeer> accept(std::chrono::milliseconds timeout);

private:
    NativeSocketHandle m_socket = -1;
    std::uint16_t m_port = 0;
};

} // namespace brg
