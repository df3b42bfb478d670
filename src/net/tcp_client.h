#pragma once
// The sending side of a server link: one TCP connection, sends with buffering, and delivers
// received text line by line to the receiving channel.
#include "base/exceptions.h"
#include "net/channel.h"
#include "net/socket.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

namespace brg {

class MainLoop;
class TcpClient;

// A send or a read failed on an established connection (reset, aborted, shut down): the link is
// gone, as if the server had closed it.
class ConnectionLostError : public std::runtime_error {
public:
    ConnectionLostError(const TcpClient& client, const std::string& text)
        : std::runtime_error(text), m_client(&client) {}
    const TcpClient& client() const { return *m_client; }

private:
    const TcpClient* m_client;
};

// The host name of a connection attempt does not resolve: a user error, retried like a refusal.
class HostNotFoundError : public UserErrorException {
public:
    HostNotFoundError(const std::string& client, const std::string& host)
        : UserErrorException(20, client + " host " + host + " not found"), m_host(host) {}
    const std::string& host() const { return m_host; }

private:
    std::string m_host;
};

class TcpClient : public Channel {
public:
    // A received line longer than this is dropped whole; a peer that never sends a line feed
    // must not grow the buffer without bound.
    static constexpr std::size_t kMaxLineLength = 1 << 20;

    explicit TcpClient(std::string name);
    ~TcpClient() override;

    // Starts a connection attempt on a fresh socket; its notifications arrive as `message`. A host
    // that is no dotted address is resolved first, on the calling thread (HostNotFoundError).
    void connectToServer(MainLoop& window, const std::string& host, std::uint16_t port,
                         std::uint32_t message, std::shared_ptr<ReceivingChannel> receiver);
    // Sends text, keeping what the socket does not take for later; an empty text only pushes
    // out what is buffered. Dropped while not active. A failed send throws ConnectionLostError.
    void sendData(const std::string& text);
    // Reads once and delivers every complete line to the receiver. A failed read throws
    // ConnectionLostError.
    void receive();
    // Raises the exception for an error notification; returns for 10053 and 10054.
    void asyncError(int code);
    // Returns whether it was active: of two reports of one loss, only the first sees true.
    bool markInactive() { return m_active.exchange(false); }
    bool active() const { return m_active; }
    // The current socket's handle, 0 without one.
    std::uintptr_t socketHandle() const;

    // Sends the closing message of the protocol at once.
    virtual void sendExit() = 0;

    static std::string wsaErrorText(int code);

private:
    std::array<char, 65536> m_receiveBuffer{};
    mutable std::mutex m_sendMutex; // guards m_sendBuffer and m_socket
    std::string m_sendBuffer;
    std::string m_lineBuffer;
    bool m_droppingLine = false; // inside an over-long line, until its line feed
    std::shared_ptr<ReceivingChannel> m_receiver;
    std::atomic<bool> m_active{false};
    std::unique_ptr<Socket> m_socket;
};

} // namespace brg
