#include "bridge_process.h"

#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <fmt/format.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brg::test {
namespace {

// fork and exec rather than posix_spawn, which cannot change the user; the child calls only
// async-signal-safe functions before exec.
pid_t lf_spawn(const std::vector<std::string>& command, int outputFd, RunAs runAs)
{
    std::vector<std::string> arguments = command;
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const bool dropRoot = runAs == RunAs::Unprivileged && ::geteuid() == 0;
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int input = ::open("/dev/null", O_RDONLY);
    if (input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(outputFd, STDOUT_FILENO) < 0)
        ::_exit(126);
    if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
}

} // namespace

pid_t gf_spawnAs(const std::vector<std::string>& command, const std::string& outputFile, RunAs runAs)
{
    const int output = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (output < 0)
        return -1;
    const pid_t pid = lf_spawn(command, output, runAs);
    ::close(output);
    return pid;
}

pid_t gf_spawnWithOutputPipe(const std::vector<std::string>& command, int& outputReadEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = lf_spawn(command, fds[1], RunAs::Self);
    ::close(fds[1]);
    outputReadEnd = fds[0];
    return pid;
}

void gf_writeCockpit(std::uint16_t siocPort, const std::string& numbers, const std::string& extraLines)
{
    const std::string command = fmt::format("{}/tools/ssi-writer cockpit.ssi {} > /dev/null", gf_binDir(), numbers);
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("ssi-writer failed: " + command);
    writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\n"
                                           "VERSION_CHECK=0\n{}",
                                           siocPort, extraLines));
}

bool gf_waitForProcessing(std::chrono::milliseconds timeout)
{
    return waitFor([] { return contains(readFile("Log.txt"), "processing input from PSX and SIOC started"); },
                   timeout);
}

} // namespace brg::test
