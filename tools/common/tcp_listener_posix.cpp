#include "tcp_listener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fmt/format.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace brg {
namespace {

int lf_fd(NativeSocketHandle socket) { return static_cast<int>(socket); }

// True when fd became ready for `events` within the timeout.
bool lf_waitFor(int fd, short events, std::chrono::milliseconds timeout)
{
    pollfd request{fd, events, 0};
    int n = 0;
    while ((n = ::poll(&request, 1, static_cast<int>(timeout.count()))) < 0 && errno == EINTR) {
    }
    return n > 0;
}

} // namespace

TcpPeer::~TcpPeer()
{
    if (m_socket >= 0)
        ::close(lf_fd(m_socket));
}

bool TcpPeer::sendAll(std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::send(lf_fd(m_socket), data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> TcpPeer::receive(std::chrono::milliseconds timeout)
{
    if (!lf_waitFor(lf_fd(m_socket), POLLIN, timeout))
        return std::string();
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::recv(lf_fd(m_socket), buffer, sizeof buffer, MSG_DONTWAIT)) < 0 && errno == EINTR) {
    }
    if (n < 0 && errno == EAGAIN)
        return std::string();
    if (n <= 0)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

void TcpPeer::close()
{
    // shutdown, not close: another thread may be waiting on the descriptor.
    ::shutdown(lf_fd(m_socket), SHUT_RDWR);
}

void TcpPeer::reset()
{
    const linger abort{1, 0};
    ::setsockopt(lf_fd(m_socket), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    // Closing with a zero linger sends the RST. The descriptor number is taken over by /dev/null
    // in the same step, so a receive() waiting on it meanwhile fails instead of reading another
    // connection that might get the number.
    const int placeholder = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (placeholder < 0 || ::dup3(placeholder, lf_fd(m_socket), O_CLOEXEC) < 0)
        ::shutdown(lf_fd(m_socket), SHUT_RDWR);
    if (placeholder >= 0)
        ::close(placeholder);
}

void TcpPeer::sendAtOnce()
{
    const int on = 1;
    ::setsockopt(lf_fd(m_socket), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

TcpListener::TcpListener(std::uint16_t port, const std::string& address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("TcpListener: no socket");
    const int on = 1;
    m_socket = fd;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    bound.sin_addr.s_addr = ::inet_addr(address.c_str());
    socklen_t size = sizeof bound;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&bound), size) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error(fmt::format("TcpListener: cannot listen on {}:{}: {}", address, port,
                                             std::strerror(error)));
    }
    m_port = ntohs(bound.sin_port);
}

TcpListener::~TcpListener()
{
    ::close(lf_fd(m_socket));
}

std::unique_ptr<TcpPeer> TcpListener::accept(std::chrono::milliseconds timeout)
{
    if (!lf_waitFor(lf_fd(m_socket), POLLIN, timeout))
        return nullptr;
    const int fd = ::accept4(lf_fd(m_socket), nullptr, nullptr, SOCK_CLOEXEC);
    return fd < 0 ? nullptr : std::make_unique<TcpPeer>(fd);
}

} // namespace brg
