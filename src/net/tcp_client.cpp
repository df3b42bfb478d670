#include "net/tcp_client.h"

#include "base/exceptions.h"
#include "base/log.h"

#include <fmt/format.h>
#include <stdexcept>
#include <utility>

namespace brg {

std::shared_ptr<SocketProvider> g_socketProvider;

namespace {

bool lf_isDotted(const std::string& host)
{
    return !host.empty() && host.find_first_not_of("0123456789.") == std::string::npos;
}

} // namespace

TcpClient::TcpClient(std::string clientName) : Channel(std::move(clientName)) {}

TcpClient::~TcpClient() = default;

std::uintptr_t TcpClient::socketHandle() const
{
    std::lock_guard lock(m_sendMutex);
    return m_socket && m_socket->valid() ? m_socket->handle() : 0;
}

void TcpClient::connectToServer(MainLoop& window, const std::string& host, std::uint16_t port,
                                std::uint32_t message, std::shared_ptr<ReceivingChannel> receiver)
{
    m_receiver = std::move(receiver);
    const int startup = g_socketProvider ? g_socketProvider->startupResult() : 0;
    if (startup != 0)
        throw std::runtime_error(fmt::format("connectToServer {} WSA startup error: {}", name, startup));

    // A fresh socket for every attempt: a socket whose connect failed is not promised to connect again.
    std::unique_ptr<Socket> fresh = g_socketProvider ? g_socketProvider->create() : nullptr;
    Socket* socket = fresh.get();
    {
        std::lock_guard lock(m_sendMutex);
        m_socket = std::move(fresh);
        m_sendBuffer.clear();
    }
    m_lineBuffer.clear();
    m_droppingLine = false;
    if (!socket || !socket->valid())
        throw std::runtime_error("connectToServer " + name + " failed to create the socket");
    if (!socket->asyncSelect(window, message))
        throw std::runtime_error("connectToServer " + name + " WSAAyncSelect failed");

    // A dotted text goes as it is, even a mistyped one: the connect refuses it with its own error.
    std::string address = host;
    if (!lf_isDotted(host)) {
        const auto resolved = g_socketProvider->resolveIPv4(host);
        if (!resolved)
            throw HostNotFoundError(name, host);
        address = *resolved;
    }
    if (socket->connect(address, port) == 0) {
        // Connected at once (possible on loopback): the notifications still follow.
        m_active = true;
        return;
    }
    const int error = socket->lastError();
    if (error != kWsaEWouldBlock)
        throw UserErrorException(17, "connect to TCP/IP failure: " + host +
                                         fmt::format(", {}, ", port) + wsaErrorText(error));
    m_active = true;
}

void TcpClient::sendData(const std::string& text)
{
    if (!m_active)
        return;
    std::unique_lock lock(m_sendMutex);
    m_sendBuffer += text;
    if (m_sendBuffer.empty() || !m_socket)
        return;
    while (true) {
        const int n = m_socket->send(m_sendBuffer.data(), static_cast<int>(m_sendBuffer.size()));
        if (n == 0)
            return;
        if (n > 0) {
            m_sendBuffer.erase(0, static_cast<std::size_t>(n));
            if (m_sendBuffer.empty())
                return;
            continue;
        }
        const int error = m_socket->lastError();
        if (error == kWsaEWouldBlock) {
            g_log.write("Trace: " + name + " sendData, Operation would block");
            return;
        }
        lock.unlock();
        throw ConnectionLostError(*this, name + " sendData " + wsaErrorText(error));
    }
}

void TcpClient::receive()
{
    int n = 0;
    {
        std::lock_guard lock(m_sendMutex);
        if (!m_socket)
            return;
        n = m_socket->recv(m_receiveBuffer.data(), static_cast<int>(m_receiveBuffer.size() - 1));
        if (n < 0) {
            const int error = m_socket->lastError();
            // A read notification may come when nothing is left to read.
            if (error == kWsaEWouldBlock)
                return;
            throw ConnectionLostError(*this, name + " receive: " + wsaErrorText(error));
        }
    }
    if (n == 0)
        return; // the peer has closed; the close notification follows
    std::string_view data(m_receiveBuffer.data(), static_cast<std::size_t>(n));
    if (m_droppingLine) {
        const auto end = data.find('\n');
        if (end == std::string_view::npos)
            return;
        data.remove_prefix(end + 1);
        m_droppingLine = false;
    }
    m_lineBuffer.append(data);

    std::size_t start = 0;
    try {
        for (auto end = m_lineBuffer.find('\n'); end != std::string::npos;
             end = m_lineBuffer.find('\n', start)) {
            const std::string line = m_lineBuffer.substr(start, end + 1 - start);
            start = end + 1;
            if (m_receiver)
                m_receiver->decodeMessage(line);
        }
    } catch (...) {
        m_lineBuffer.erase(0, start);
        throw;
    }
    m_lineBuffer.erase(0, start);
    if (m_lineBuffer.size() > kMaxLineLength) {
        g_log.write(fmt::format("{} receive: line longer than {} bytes dropped", name, kMaxLineLength));
        m_lineBuffer.clear();
        m_droppingLine = true;
    }
}

void TcpClient::asyncError(int code)
{
    switch (code) {
    case 10060:
        throw UserErrorException(18, "Connection attempt to " + name + " timed out");
    case 10061:
        throw UserErrorException(19, name + " not detected (connection refused)");
    case 10049:
        throw UserIPAddressErrorException("Can't assign requested address");
    case 10048:
        throw UserIPAddressErrorException("Address already in use");
    case 10047:
        throw UserIPAddressErrorException("Address family not supported");
    case 10053:
    case 10054:
        return;
    default:
        throw std::runtime_error("asyncError " + name + " connection failure - " + wsaErrorText(code));
    }
}

std::string TcpClient::wsaErrorText(int code)
{
    static const std::pair<int, const char*> table[] = {
        {10004, "Interrupted system call"}, {10009, "Bad file number"}, {10013, "Permission denied"},
        {10014, "Bad address"}, {10022, "Invalid argument"}, {10024, "Too many open sockets"},
        {10035, "Operation would block"}, {10036, "Operation now in progress"},
        {10037, "Operation already in progress"}, {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"}, {10040, "Messenger too long"},
        {10041, "Protocol wrong type for socket"}, {10042, "Bad protocol option"},
        {10043, "Protocol not supported"}, {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"}, {10046, "Protocol family not supported"},
        {10047, "Address family not supported"}, {10048, "Address already in use"},
        {10049, "Can't assign requested address"}, {10050, "Network is down"},
        {10051, "Network is unreachable"}, {10052, "Net connection reset"},
        {10053, "Software caused connection abort"}, {10054, "Connection reset by peer"},
        {10055, "No buffer space available"}, {10056, "Socket is already connected"},
        {10057, "Socket is not connected"}, {10058, "Can't send numLines socket shutdown"},
        {10059, "Too many references, can't splice"}, {10060, "Connection timed out"},
        {10061, "Connection refused"}, {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"}, {10064, "Host is down"}, {10065, "No route to host"},
        {10066, "Directory not empty"}, {10067, "Too many processes"}, {10068, "Too many users"},
        {10069, "Disc quota exceeded"}, {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"}, {10091, "Network system is unavailable"},
        {10092, "Winsock version out of range"}, {10093, "WSAStartup not yet called"},
        {10101, "Graceful shutdown in progress"}, {11001, "Host not found"},
        {11004, "No host data of that type was found"},
    };
    for (const auto& [c, text] : table)
        if (c == code)
            return fmt::format("{} ", code) + text;
    return fmt::format("Unknown errror code: {}", code);
}

} // namespace brg
