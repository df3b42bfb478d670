#pragma once
// A stand-in server run as a child process: its standard input to command it, its standard
// output read line by line, and a TCP client of it.
#include "native_platform.h"

#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brg::test {

class SimProcess {
public:
    // Starts build-folder/tools/<program> with `arguments` (and "--port 0" unless they name a
    // port), and waits for its
    // "listening" line. Throws std::runtime_error when it does not come up.
    SimProcess(const std::string& program, std::vector<std::string> arguments);
    ~SimProcess(); // SIGKILL if it still runs

    std::uint16_t port() const { return m_port; }
    void command(const std::string& line);
    void closeInput();
    // True once a line equal to `line` has come on standard output (lines before it are skipped).
    bool waitForLine(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The same for the first line that ends with `end` (values batched into one line).
    bool waitForLineEnding(const std::string& end, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends SIGTERM (when asked) and waits for the end: the exit status, -1 on a time-out.
    int waitForExit(bool terminate, std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // A client connection to the server.
    std::unique_ptr<TcpPeer> connect() const;

private:
    bool readLine(std::string& line, std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_pending;
    std::uint16_t m_port = 0;
};

// Reads from `peer` until `text` is among the bytes received (kept in `received`); false on time-out or close.
bool gf_receiveUntil(TcpPeer& peer, const std::string& text, std::string& received,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace brg::test
