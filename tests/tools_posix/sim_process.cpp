#include "sim_process.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brg::test {

using Clock = std::chrono::steady_clock;

SimProcess::SimProcess(const std::string& program, std::vector<std::string> arguments)
{
    const char* binDir = std::getenv("TALVESYNC_BIN_DIR");
    if (!binDir)
        throw std::runtime_error("TALVESYNC_BIN_DIR is not set (ctest sets it)");
    const std::string path = std::string(binDir) + "/tools/" + program;
    arguments.insert(arguments.begin(), path);
    if (std::find(arguments.begin(), arguments.end(), "--port") == arguments.end())
        arguments.insert(arguments.end(), {"--port", "0"});
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("SimProcess: no pipes");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_input = input[1];
    m_output = output[0];
    if (spawned != 0)
        throw std::runtime_error("SimProcess: cannot start " + path);

    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    if (!readLine(line, deadline) || !line.starts_with("listening "))
        throw std::runtime_error("SimProcess: " + program + " did not come up: " + line);
    m_port = static_cast<std::uint16_t>(std::stoi(line.substr(10)));
}

SimProcess::~SimProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ::close(m_input);
    ::close(m_output);
}

void SimProcess::command(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("SimProcess: command not written");
}

void SimProcess::closeInput()
{
    ::close(m_input);
    m_input = -1;
}

bool SimProcess::readLine(std::string& line, Clock::time_point deadline)
{
    while (true) {
        const auto end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd request{m_output, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&request, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

bool SimProcess::waitForLine(const std::string& wanted, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (std::string line; readLine(line, deadline);)
        if (line == wanted)
            return true;
    return false;
}

bool SimProcess::waitForLineEnding(const std::string& end, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (std::string line; readLine(line, deadline);)
        if (line.ends_with(end))
            return true;
    return false;
}

int SimProcess::waitForExit(bool terminate, std::chrono::milliseconds timeout)
{
    if (terminate)
        ::kill(m_pid, SIGTERM);
    const auto deadline = Clock::now() + timeout;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline)
            return -1;
        // Nothing to wait on but the child itself: a short poll of its state.
        ::poll(nullptr, 0, 10);
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

bool gf_receiveUntil(TcpPeer& peer, const std::string& text, std::string& received,
                     std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (received.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        const auto data = peer.receive(left);
        if (!data)
            return false;
        received += *data;
    }
    return true;
}

} // namespace brg::test
