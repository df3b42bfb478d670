#pragma once
// The seam to the platform's sockets. It speaks Winsock: error codes are Winsock codes and the
// events arrive on the main thread as socket messages whose lParam packs (error << 16) | event.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brg {

class MainLoop;

inline constexpr std::uint16_t kFdRead = 0x01;
inline constexpr std::uint16_t kFdWrite = 0x02;
inline constexpr std::uint16_t kFdConnect = 0x10;
inline constexpr std::uint16_t kFdClose = 0x20;

inline constexpr int kWsaEWouldBlock = 10035;

inline constexpr std::intptr_t gf_makeSelectReply(std::uint16_t event, std::uint16_t error)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(error) << 16) | event);
}
inline constexpr std::uint16_t gf_selectEvent(std::intptr_t lParam)
{
    return static_cast<std::uint16_t>(lParam & 0xFFFF);
}
inline constexpr std::uint16_t gf_selectError(std::intptr_t lParam)
{
    return static_cast<std::uint16_t>((lParam >> 16) & 0xFFFF);
}

// One non-blocking IPv4 stream socket.
class Socket {
public:
    virtual ~Socket() = default;
    virtual bool valid() const = 0;
    // Identifies the socket in its notifications (wParam), so late ones for an old socket can be told apart.
    virtual std::uintptr_t handle() const = 0;
    // Makes the socket non-blocking and asks for read, write, connect and close notifications,
    // posted as `message` to the main loop. False on failure.
    virtual bool asyncSelect(MainLoop& loop, std::uint32_t message) = 0;
    // host is a dotted IPv4 text. 0 when connected at once, -1 on failure (see lastError()).
    virtual int connect(const std::string& host, std::uint16_t port) = 0;
    // Bytes taken or read, 0, or -1 on failure (see lastError()).
    virtual int send(const char* data, int length) = 0;
    virtual int recv(char* buffer, int length) = 0;
    // The Winsock code of the last failure.
    virtual int lastError() const = 0;
};

class SocketProvider {
public:
    virtual ~SocketProvider() = default;
    // The result of the socket library's start-up (0 = success).
    virtual int startupResult() const = 0;
    // A new socket; one whose valid() is false when the platform could not create one.
    virtual std::unique_ptr<Socket> create() = 0;
    // The first IPv4 address of a host name, as a dotted text; empty when the name does not
    // resolve. Blocks while the system asks its resolver.
    virtual std::optional<std::string> resolveIPv4(const std::string& hostName) = 0;
};

// Installed by the platform front end at start (tests install fakes); empty until then.
extern std::shared_ptr<SocketProvider> g_socketProvider;

} // namespace brg
