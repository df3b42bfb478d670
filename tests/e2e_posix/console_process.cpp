#include "console_process.h"

#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fmt/format.h>
#include <grp.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brg::test {
namespace {

// fork and exec rather than posix_spawn, which cannot change the user; the child calls only
// async-signal-safe functions before exec.
pid_t lf_spawn(const std::vector<std::string>& command, int outputFd, int errorFd, RunAs runAs)
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
    if (input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(outputFd, STDOUT_FILENO) < 0 ||
        (errorFd >= 0 && ::dup2(errorFd, STDERR_FILENO) < 0))
        ::_exit(126);
    if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
}

int lf_create(const std::string& file)
{
    return file.empty() ? -1 : ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

} // namespace

std::string gf_binDir()
{
    const char* dir = std::getenv("TALVESYNC_BIN_DIR");
    return dir ? dir : "";
}

pid_t gf_spawnIn(const std::vector<std::string>& command, const std::string& outputFile, const std::string& errorFile,
                 RunAs runAs)
{
    const int output = lf_create(outputFile);
    const int error = lf_create(errorFile);
    const pid_t pid = output < 0 || (!errorFile.empty() && error < 0) ? -1 : lf_spawn(command, output, error, runAs);
    for (const int fd : {output, error})
        if (fd >= 0)
            ::close(fd);
    return pid;
}

pid_t gf_spawnWithOutputPipe(const std::vector<std::string>& command, int& outputReadEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = lf_spawn(command, fds[1], -1, RunAs::Self);
    ::close(fds[1]);
    outputReadEnd = fds[0];
    return pid;
}

int gf_waitForExit(pid_t pid, std::chrono::milliseconds timeout)
{
    int status = 0;
    const bool ended = waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, timeout);
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
