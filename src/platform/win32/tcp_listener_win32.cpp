#include "platform/win32/tcp_listener_win32.h"

#include <winsock2.h>

#include <fmt/format.h>
#include <stdexcept>

namespace brg {
namespace {

// True when the socket became readable within the timeout.
bool lf_waitReadable(SOCKET socket, std::chrono::milliseconds timeout)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{static_cast<long>(timeout.count() / 1000), static_cast<long>(timeout.count() % 1000 * 1000)};
    return ::select(0, &readable, nullptr, nullptr, &wait) > 0;
}

} // namespace

TcpPeer::~TcpPeer()
{
    ::closesocket(m_socket);
}

bool TcpPeer::sendAll(std::string_view data)
{
    while (!data.empty()) {
        const int n = ::send(m_socket, data.data(), static_cast<int>(data.size()), 0);
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> TcpPeer::receive(std::chrono::milliseconds timeout)
{
    if (!lf_waitReadable(m_socket, timeout))
        return std::string();
    char buffer[65536];
    const int n = ::recv(m_socket, buffer, sizeof buffer, 0);
    if (n <= 0)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

void TcpPeer::close()
{
    ::shutdown(m_socket, SD_BOTH);
}

TcpListener::TcpListener(std::uint16_t port, const std::string& address)
{
    WSADATA data;
    m_startupResult = WSAStartup(MAKEWORD(2, 2), &data);
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    bound.sin_addr.s_addr = inet_addr(address.c_str());
    int size = sizeof bound;
    if (m_socket == INVALID_SOCKET || ::bind(m_socket, reinterpret_cast<const sockaddr*>(&bound), size) != 0 ||
        ::listen(m_socket, 8) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        const int error = WSAGetLastError();
        if (m_socket != INVALID_SOCKET)
            ::closesocket(m_socket);
        if (m_startupResult == 0)
            WSACleanup();
        throw std::runtime_error(fmt::format("TcpListener: cannot listen on {}:{}: {}", address, port, error));
    }
    m_port = ntohs(bound.sin_port);
}

TcpListener::~TcpListener()
{
    ::closesocket(m_socket);
    if (m_startupResult == 0)
        WSACleanup();
}

std::unique_ptr<TcpPeer> TcpListener::accept(std::chrono::milliseconds timeout)
{
    if (!lf_waitReadable(m_socket, timeout))
        return nullptr;
    const SOCKET socket = ::accept(m_socket, nullptr, nullptr);
    return socket == INVALID_SOCKET ? nullptr : std::make_unique<TcpPeer>(socket);
}

} // namespace brg
