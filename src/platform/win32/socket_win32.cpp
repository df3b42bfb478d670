#include "platform/win32/socket_win32.h"

#include "platform/win32/main_loop_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace brg {

Win32Socket::Win32Socket() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {}

Win32Socket::~Win32Socket()
{
    // Unregistered first: once closed, the handle may at once be given to a new socket.
    if (m_registry)
        m_registry->remove(m_socket);
    if (m_socket != INVALID_SOCKET)
        ::closesocket(m_socket);
}

bool Win32Socket::valid() const
{
    return m_socket != INVALID_SOCKET;
}

int Win32Socket::fail()
{
    m_lastError = WSAGetLastError();
    return -1;
}

bool Win32Socket::asyncSelect(MainLoop& loop, std::uint32_t message)
{
    auto* windowLoop = dynamic_cast<Win32MainLoop*>(&loop);
    if (!windowLoop || m_socket == INVALID_SOCKET)
        return false;
    if (WSAAsyncSelect(m_socket, windowLoop->window(), message, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
        fail();
        return false;
    }
    if (m_registry && m_registry != windowLoop->sockets())
        m_registry->remove(m_socket);
    m_registry = windowLoop->sockets();
    m_registry->add(message, m_socket);
    return true;
}

int Win32Socket::connect(const std::string& host, std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(host.c_str());
    // No connection to "any" address, nor to the broadcast INADDR_NONE an unreadable text gives:
    // the same refusal as the console build, whatever the Winsock underneath would try.
    if (address.sin_addr.s_addr == htonl(INADDR_ANY) || address.sin_addr.s_addr == INADDR_NONE) {
        m_lastError = WSAEADDRNOTAVAIL;
        return -1;
    }
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail();
    return 0;
}

int Win32Socket::send(const char* data, int length)
{
    const int n = ::send(m_socket, data, length, 0);
    return n == SOCKET_ERROR ? fail() : n;
}

int Win32Socket::recv(char* buffer, int length)
{
    const int n = ::recv(m_socket, buffer, length, 0);
    return n == SOCKET_ERROR ? fail() : n;
}

Win32SocketProvider::Win32SocketProvider()
{
    WSADATA data;
    m_startupResult = WSAStartup(MAKEWORD(2, 2), &data);
}

Win32SocketProvider::~Win32SocketProvider()
{
    if (m_startupResult == 0)
        WSACleanup();
}

std::unique_ptr<Socket> Win32SocketProvider::create()
{
    return std::make_unique<Win32Socket>();
}

std::optional<std::string> Win32SocketProvider::resolveIPv4(const std::string& hostName)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    auto* address = reinterpret_cast<sockaddr_in*>(found->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(found);
    return ok ? std::optional<std::string>(text) : std::nullopt;
}

} // namespace brg
