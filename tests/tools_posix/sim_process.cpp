#include "sim_process.h"

#include "support/wait_for.h"

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace brg::test {

using namespace std::chrono_literals;

std::string gf_binDir()
{
    const char* dir = std::getenv("TALVESYNC_BIN_DIR");
    return dir ? dir : "";
}

// fork and exec rather than posix_spawn, which cannot change the user; the child calls only
// async-signal-safe functions before exec.
pid_t gf_spawn(std::vector<std::string> command, int input, int output, int error, RunAs runAs)
{
    std::vector<char*> argv;
    for (auto& argument : command)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const bool dropRoot = runAs == RunAs::Unprivileged && ::geteuid() == 0;
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (input < 0)
        input = ::open("/dev/null", O_RDONLY);
    if (input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
        (error >= 0 && ::dup2(error, STDERR_FILENO) < 0))
        ::_exit(126);
    if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
}

int gf_waitForExit(pid_t pid, std::chrono::milliseconds timeout, const std::function<void()>& meanwhile)
{
    int status = 0;
    const bool ended = waitFor(
        [&] {
            if (meanwhile)
                meanwhile();
            return ::waitpid(pid, &status, WNOHANG) == pid;
        },
        timeout);
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SimProcess::SimProcess(const std::string& program, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), gf_binDir() + "/tools/" + program);
    if (std::find(arguments.begin(), arguments.end(), "--port") == arguments.end())
        arguments.insert(arguments.end(), {"--port", "0"});
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("SimProcess: no pipes");
    m_pid = gf_spawn(arguments, input[0], output[1]);
    ::close(input[0]);
    ::close(output[1]);
    m_input = input[1];
    m_output = output[0];
    std::string listening;
    if (!waitForLineWhere([&](const std::string& line) { return (listening = line).starts_with("listening "); }, 5s))
        throw std::runtime_error("SimProcess: " + arguments[0] + " did not come up: " + listening);
    m_port = static_cast<std::uint16_t>(std::stoi(listening.substr(10)));
}

SimProcess::~SimProcess()
{
    if (m_pid > 0)
        gf_waitForExit(m_pid, 0ms);
    ::close(m_input);
    ::close(m_output);
}

void SimProcess::command(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("SimProcess: command not written");
}

void SimProcess::closeInput() { ::close(std::exchange(m_input, -1)); }

bool SimProcess::waitForLineWhere(const std::function<bool(const std::string&)>& wanted,
                                  std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        for (auto end = m_pending.find('\n'); end != std::string::npos; end = m_pending.find('\n')) {
            const std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (wanted(line))
                return true;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd request{m_output, POLLIN, 0};
        char buffer[4096];
        if (left.count() <= 0 || ::poll(&request, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

bool SimProcess::waitForLine(const std::string& line, std::chrono::milliseconds timeout)
{
    const auto carries = [&](const std::string& got) {
        return got == line || (line.ends_with(':') && got.find(line) != std::string::npos);
    };
    return waitForLineWhere(carries, timeout);
}

int SimProcess::waitForExit(bool terminate, std::chrono::milliseconds timeout)
{
    if (terminate)
        ::kill(m_pid, SIGTERM);
    return gf_waitForExit(std::exchange(m_pid, -1), timeout);
}

std::unique_ptr<TcpPeer> SimProcess::connect() const
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("SimProcess: cannot connect");
    }
    return std::make_unique<TcpPeer>(fd);
}

} // namespace brg::test
