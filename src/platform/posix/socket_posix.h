#pragma once
// BSD sockets behind the Winsock-speaking seam: errno becomes a Winsock code, and readiness
// becomes FD_CONNECT, FD_WRITE, FD_READ and FD_CLOSE by Winsock's rules.
#include "net/socket.h"

#include <memory>

namespace brg {

// The Winsock code for an errno value; errno values without one stay as they are.
int gf_wsaCodeForErrno(int error);

class PosixSocketCore;

class PosixSocket : public Socket {
public:
    PosixSocket();
    ~PosixSocket() override; // closes the socket; no notification for it is delivered afterwards
    PosixSocket(const PosixSocket&) = delete;
    PosixSocket& operator=(const PosixSocket&) = delete;

    bool valid() const override;
    // A number never given to another socket of this process (descriptors are reused).
    std::uintptr_t handle() const override;
    // `loop` must be a PosixMainLoop.
    bool asyncSelect(MainLoop& loop, std::uint32_t message) override;
    int connect(const std::string& host, std::uint16_t port) override;
    int send(const char* data, int length) override;
    int recv(char* buffer, int length) override;
    int lastError() const override;

private:
    std::shared_ptr<PosixSocketCore> m_core; // shared with the loop, which may be polling it
};

class PosixSocketProvider : public SocketProvider {
public:
    int startupResult() const override { return 0; }
    std::unique_ptr<Socket> create() override;
    std::optional<std::string> resolveIPv4(const std::string& hostName) override;
};

} // namespace brg
