#include "tcp_listener.h"

#include <winsock2.h>

#include <fmt/format.h>
#include <stdexcept>

namespace brg {
namespace {

SOCKET lf_socket(NativeSocketHandle socket) { return static_cast<SOCKET>(socket); }

// Winsock is started with the first listener and stays so until the process ends.
void lf_startWinsock()
{
    struct Started {
        Started()
        {
            WSADATA data;
            ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }
        ~Started()
        {
            if (ok)
                WSACleanup();
        }
        bool ok = false;
    };
    static const Started started;
}

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
    if (lf_socket(m_socket) != INVALID_SOCKET)
        ::closesocket(lf_socket(m_socket));
}

bool TcpPeer::sendAll(std::string_view data)
{
    while (!data.empty()) {
        const int n = ::send(lf_socket(m_socket), data.data(), static_cast<int>(data.size()), 0);
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> TcpPeer::receive(std::chrono::milliseconds timeout)
{
    if (!lf_waitReadable(lf_socket(m_socket), timeout))
        return std::string();
    char buffer[65536];
    const int n = ::recv(lf_socket(m_socket), buffer, sizeof buffer, 0);
    if (n <= 0)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

void TcpPeer::close()
{
    ::shutdown(lf_socket(m_socket), SD_BOTH);
}

void TcpPeer::reset()
{
    // Closing with a zero linger sends the RST.
    const linger abort{1, 0};
    ::setsockopt(lf_socket(m_socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    ::closesocket(lf_socket(m_socket));
    m_socket = static_cast<NativeSocketHandle>(INVALID_SOCKET);
}

void TcpPeer::sendAtOnce()
{
    const BOOL on = TRUE;
    ::setsockopt(lf_socket(m_socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

TcpListener::TcpListener(std::uint16_t port, const std::string& address)
{
    lf_startWinsock();
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    bound.sin_addr.s_addr = inet_addr(address.c_str());
    int size = sizeof bound;
    if (socket == INVALID_SOCKET || ::bind(socket, reinterpret_cast<const sockaddr*>(&bound), size) != 0 ||
        ::listen(socket, 8) != 0 || ::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        const int error = WSAGetLastError();
        if (socket != INVALID_SOCKET)
            ::closesocket(socket);
        throw std::runtime_error(fmt::format("TcpListener: cannot listen on {}:{}: {}", address, port, error));
    }
    m_socket = static_cast<NativeSocketHandle>(socket);
    m_port = ntohs(bound.sin_port);
}

TcpListener::~TcpListener()
{
    ::closesocket(lf_socket(m_socket));
}

std::unique_ptr<TcpPeer> TcpListener::accept(std::chrono::milliseconds timeout)
{
    if (!lf_waitReadable(lf_socket(m_socket), timeout))
        return nullptr;
    const SOCKET socket = ::accept(lf_socket(m_socket), nullptr, nullptr);
    return socket == INVALID_SOCKET ? nullptr : std::make_unique<TcpPeer>(static_cast<NativeSocketHandle>(socket));
}

} // namespace brg
