#pragma once
// The programs of the build folder run as child processes: a stand-in server commanded on its
// standard input and followed on its standard output, or any program with its output in files.
#include "native_platform.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brg::test {

// The build folder (ctest sets TALVESYNC_BIN_DIR); empty when unknown.
std::string gf_binDir();

// `Unprivileged` drops root to "nobody", so that file permissions bind the child as they bind a
// user; it changes nothing for a test that does not run as root.
enum class RunAs { Self, Unprivileged };

// Starts `command` with the given standard input and output (standard error too when `error` is
// not -1); -1 when it cannot start.
pid_t gf_spawn(std::vector<std::string> command, int input, int output, int error = -1,
               RunAs runAs = RunAs::Self);
// The exit status, or -1 when the process does not end in time (it is killed then) or dies of a
// signal. `meanwhile` runs between the looks, for a child that needs its output drained.
int gf_waitForExit(pid_t pid, std::chrono::milliseconds timeout, const std::function<void()>& meanwhile = {});

class SimProcess {
public:
    // Starts build-folder/tools/<program> with `arguments` (and "--port 0" unless they name a
    // port), and waits for its "listening" line. Throws std::runtime_error when it does not come up.
    SimProcess(const std::string& program, std::vector<std::string> arguments);
    ~SimProcess(); // SIGKILL if it still runs

    std::uint16_t port() const { return m_port; }
    void command(const std::string& line);
    void closeInput();
    // True once `line` has come on standard output (lines before it are skipped). An IOCP field
    // (`line` ends in ':') may sit anywhere in its line: SIOC gets the values of one cycle batched
    // into one line, in any order.
    bool waitForLine(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends SIGTERM (when asked) and waits for the end: the exit status, -1 on a time-out.
    int waitForExit(bool terminate, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // A client connection to the server.
    std::unique_ptr<TcpPeer> connect() const;

private:
    bool waitForLineWhere(const std::function<bool(const std::string&)>& wanted, std::chrono::milliseconds timeout);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_pending;
    std::uint16_t m_port = 0;
};

} // namespace brg::test
