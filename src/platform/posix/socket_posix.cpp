#include "platform/posix/socket_posix.h"

#include "platform/posix/main_loop_posix.h"

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace brg {
namespace {

constexpr int kWsaEAddrNotAvail = 10049;

constexpr std::array<std::pair<int, int>, 44> kErrnoToWsa{{
    {EINTR, 10004}, {EBADF, 10009}, {EACCES, 10013}, {EPERM, 10013}, {EFAULT, 10014},
    {EINVAL, 10022}, {EMFILE, 10024}, {ENFILE, 10024}, {EWOULDBLOCK, 10035},
    {EINPROGRESS, 10035}, {EALREADY, 10037}, {ENOTSOCK, 10038}, {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040}, {EPROTOTYPE, 10041}, {ENOPROTOOPT, 10042}, {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045}, {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048}, {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},
    {ENETUNREACH, 10051}, {ENETRESET, 10052}, {ECONNABORTED, 10053}, {ECONNRESET, 10054},
    {ENOBUFS, 10055}, {ENOMEM, 10055}, {EISCONN, 10056}, {ENOTCONN, 10057},
    {ESHUTDOWN, 10058}, {EPIPE, 10058}, {ETOOMANYREFS, 10059}, {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {ELOOP, 10062}, {ENAMETOOLONG, 10063}, {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066}, {EDQUOT, 10069}, {ESTALE, 10070},
}};
static_assert(EAGAIN == EWOULDBLOCK, "one entry covers both on Linux");

std::atomic<std::uintptr_t> g_nextHandle{1};

} // namespace

int gf_wsaCodeForErrno(int error)
{
    for (const auto& [posix, wsa] : kErrnoToWsa)
        if (posix == error)
            return wsa;
    return error;
}

// The socket's state, shared with the loop so that a poll round never sees a freed socket.
class PosixSocketCore : public PollSource, public std::enable_shared_from_this<PosixSocketCore> {
public:
    PosixSocketCore() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}

    bool valid() const
    {
        std::lock_guard lock(m_mutex);
        return m_fd >= 0;
    }
    std::uintptr_t handle() const { return m_handle; }
    int lastError() const
    {
        std::lock_guard lock(m_mutex);
        return m_lastError;
    }

    bool asyncSelect(PosixMainLoop& loop, std::uint32_t message)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_fd < 0 || ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK) != 0) {
                m_lastError = gf_wsaCodeForErrno(m_fd < 0 ? EBADF : errno);
                return false;
            }
            if (m_loop && m_loop != &loop)
                m_loop->removeSource(this);
            const bool alreadyPolled = m_loop == &loop;
            m_loop = &loop;
            m_message = message;
            if (alreadyPolled)
                return true;
        }
        loop.addSource(shared_from_this());
        return true;
    }

    int connect(const std::string& host, std::uint16_t port)
    {
        std::lock_guard lock(m_mutex);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = ::inet_addr(host.c_str());
        // Winsock refuses both the "any" address and a text inet_addr cannot read (INADDR_NONE),
        // where Linux would connect to itself or try a broadcast.
        if (address.sin_addr.s_addr == htonl(INADDR_ANY) || address.sin_addr.s_addr == INADDR_NONE) {
            m_lastError = kWsaEAddrNotAvail;
            return -1;
        }
        m_state = State::Connecting;
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            connected();
            return 0;
        }
        const int error = errno;
        if (error == ECONNREFUSED || error == ETIMEDOUT) {
            // Winsock never refuses a non-blocking connect at once: the outcome comes as FD_CONNECT.
            failConnect(error);
            m_lastError = kWsaEWouldBlock;
            return -1;
        }
        m_lastError = gf_wsaCodeForErrno(error);
        if (error != EINPROGRESS)
            m_state = State::Idle;
        else if (m_loop)
            m_loop->wake();
        return -1;
    }

    int send(const char* data, int length)
    {
        std::lock_guard lock(m_mutex);
        const ssize_t n = ::send(m_fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
        if (n >= 0)
            return static_cast<int>(n);
        m_lastError = gf_wsaCodeForErrno(errno);
        if (m_lastError == kWsaEWouldBlock && !m_writeWanted) {
            // FD_WRITE again once the socket takes data, as Winsock does after a blocked send.
            m_writeWanted = true;
            if (m_loop)
                m_loop->wake();
        }
        return -1;
    }

    int recv(char* buffer, int length)
    {
        std::lock_guard lock(m_mutex);
        const ssize_t n = ::recv(m_fd, buffer, static_cast<std::size_t>(length), 0);
        if (n < 0)
            m_lastError = gf_wsaCodeForErrno(errno);
        if (!m_readArmed) {
            // Every recv call re-enables FD_READ, as in Winsock.
            m_readArmed = true;
            if (m_loop)
                m_loop->wake();
        }
        return static_cast<int>(n);
    }

    void close()
    {
        std::lock_guard lock(m_mutex);
        if (m_loop) {
            m_loop->removeSource(this);
            m_loop->discard(m_handle);
            m_loop = nullptr;
        }
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    pollfd pollRequest() override
    {
        std::lock_guard lock(m_mutex);
        short events = 0;
        if (m_state == State::Connecting)
            events = POLLOUT;
        else if (m_state == State::Connected)
            events = static_cast<short>((m_readArmed ? POLLIN : 0) | (m_writeWanted ? POLLOUT : 0));
        return {m_fd, m_fd < 0 ? short{0} : events, 0};
    }

    void onReady(short revents) override
    {
        // Called only with something in revents, which poll() reports for what was asked.
        std::lock_guard lock(m_mutex);
        if (m_fd < 0 || !m_loop)
            return;
        if (m_state == State::Connecting) {
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            if (error != 0)
                failConnect(error);
            else
                connected();
            return;
        }
        if (m_state != State::Connected)
            return;
        if (m_writeWanted && (revents & (POLLOUT | POLLERR | POLLHUP))) {
            m_writeWanted = false;
            notify(kFdWrite, 0);
        }
        if (m_readArmed && (revents & (POLLIN | POLLERR | POLLHUP)))
            checkReadable();
    }

    void loopGone() override
    {
        std::lock_guard lock(m_mutex);
        m_loop = nullptr;
    }

private:
    enum class State { Idle, Connecting, Connected, Closed };

    void notify(std::uint16_t event, int error)
    {
        if (m_loop)
            m_loop->notify(m_message, m_handle, gf_makeSelectReply(event, static_cast<std::uint16_t>(error)));
    }

    void connected()
    {
        m_state = State::Connected;
        m_writeWanted = false;
        notify(kFdConnect, 0);
        notify(kFdWrite, 0);
    }

    void failConnect(int error)
    {
        m_state = State::Idle;
        notify(kFdConnect, gf_wsaCodeForErrno(error));
    }

    // Data waiting gives one FD_READ until the next recv; the end of the stream gives FD_CLOSE,
    // which thus only comes once everything before it has been read.
    void checkReadable()
    {
        char byte = 0;
        const ssize_t n = ::recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            m_readArmed = false;
            notify(kFdRead, 0);
        } else if (n == 0) {
            m_state = State::Closed;
            notify(kFdClose, 0);
        } else if (errno != EAGAIN && errno != EINTR) {
            m_state = State::Closed;
            notify(kFdClose, gf_wsaCodeForErrno(errno));
        }
    }

    mutable std::mutex m_mutex;
    int m_fd;
    const std::uintptr_t m_handle = g_nextHandle++;
    PosixMainLoop* m_loop = nullptr;
    std::uint32_t m_message = 0;
    State m_state = State::Idle;
    bool m_readArmed = true;
    bool m_writeWanted = false;
    int m_lastError = 0;
};

PosixSocket::PosixSocket() : m_core(std::make_shared<PosixSocketCore>()) {}

PosixSocket::~PosixSocket()
{
    m_core->close();
}

bool PosixSocket::valid() const
{
    return m_core->valid();
}

std::uintptr_t PosixSocket::handle() const
{
    return m_core->handle();
}

bool PosixSocket::asyncSelect(MainLoop& loop, std::uint32_t message)
{
    auto* posixLoop = dynamic_cast<PosixMainLoop*>(&loop);
    return posixLoop && m_core->asyncSelect(*posixLoop, message);
}

int PosixSocket::connect(const std::string& host, std::uint16_t port)
{
    return m_core->connect(host, port);
}

int PosixSocket::send(const char* data, int length)
{
    return m_core->send(data, length);
}

int PosixSocket::recv(char* buffer, int length)
{
    return m_core->recv(buffer, length);
}

int PosixSocket::lastError() const
{
    return m_core->lastError();
}

std::unique_ptr<Socket> PosixSocketProvider::create()
{
    return std::make_unique<PosixSocket>();
}

std::optional<std::string> PosixSocketProvider::resolveIPv4(const std::string& hostName)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(found);
    return ok ? std::optional<std::string>(text) : std::nullopt;
}

} // namespace brg
