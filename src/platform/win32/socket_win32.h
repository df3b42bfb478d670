#pragma once
// Winsock 2 in window-message mode behind the socket seam.
#include "net/socket.h"

#include <memory>

namespace brg {

class Win32SocketRegistry;

class Win32Socket : public Socket {
public:
    Win32Socket();
    ~Win32Socket() override; // closesocket; its notifications still queued are dropped
    Win32Socket(const Win32Socket&) = delete;
    Win32Socket& operator=(const Win32Socket&) = delete;

    bool valid() const override;
    std::uintptr_t handle() const override { return m_socket; }
    // `loop` must be a Win32MainLoop.
    bool asyncSelect(MainLoop& loop, std::uint32_t message) override;
    int connect(const std::string& host, std::uint16_t port) override;
    int send(const char* data, int length) override;
    int recv(char* buffer, int length) override;
    int lastError() const override { return m_lastError; }

private:
    int fail();

    std::uintptr_t m_socket; // a SOCKET
    std::shared_ptr<Win32SocketRegistry> m_registry;
    int m_lastError = 0;
};

class Win32SocketProvider : public SocketProvider {
public:
    Win32SocketProvider();  // WSAStartup 2.2
    ~Win32SocketProvider() override; // WSACleanup, when the start-up succeeded
    Win32SocketProvider(const Win32SocketProvider&) = delete;
    Win32SocketProvider& operator=(const Win32SocketProvider&) = delete;

    int startupResult() const override { return m_startupResult; }
    std::unique_ptr<Socket> create() override;
    std::optional<std::string> resolveIPv4(const std::string& hostName) override;

private:
    int m_startupResult;
};

} // namespace brg
