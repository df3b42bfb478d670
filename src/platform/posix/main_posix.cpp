// talvesync for Linux: the same bridge as the Windows program, run from a console in the folder
// that holds Talvesync.cfg. Ctrl-C, SIGTERM or SIGHUP (the terminal closed) is the user's close
// request.
#include "app/engine_threads.h"
#include "app/exit_sequence.h"
#include "app/process_state.h"
#include "app/startup.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "config/config_check.h"
#include "config/config_file.h"
#include "config/config_reader.h"
#include "net/main_loop.h"
#include "platform/posix/console_display.h"
#include "platform/posix/console_monitor.h"
#include "platform/posix/console_options.h"
#include "platform/posix/main_loop_posix.h"
#include "platform/posix/socket_posix.h"
#include "platform/system_drives.h"
#include "sioc/drives.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fmt/format.h>
#include <memory>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

// Turns SIGINT, SIGTERM and SIGHUP into close requests on the main loop, on a thread of its own
// that lives as long as this object; the signals are blocked in every thread so that only that
// one receives them. Made before any other thread, which inherits the blocked set.
class CloseSignals {
public:
    explicit CloseSignals(brg::MainLoop& loop)
    {
        sigemptyset(&m_signals);
        sigaddset(&m_signals, SIGINT);
        sigaddset(&m_signals, SIGTERM);
        sigaddset(&m_signals, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
        m_thread = std::jthread([this, &loop](std::stop_token stop) {
            while (!stop.stop_requested()) {
                int received = 0;
                if (sigwait(&m_signals, &received) == 0 && !stop.stop_requested())
                    loop.post(brg::kMsgCloseRequest);
            }
        });
    }
    ~CloseSignals()
    {
        // A signal of its own set, sent to the thread alone, ends its wait.
        m_thread.request_stop();
        pthread_kill(m_thread.native_handle(), SIGTERM);
    }
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

private:
    sigset_t m_signals{};
    std::jthread m_thread; // destroyed first: joined while the set it waits on still exists
};

std::atomic<bool> g_startUpFailed{false};
std::shared_ptr<brg::ConsoleDisplay> g_consoleDisplay;

// Without a window there is nothing to keep a start-up error on screen: after it has been shown,
// the run goes through the exit sequence and the final stop, and the process ends with 1.
void lf_startUpOrStop(std::stop_token stop)
{
    // A start-up the user's close stopped has not failed.
    if (brg::gf_startUp_as_Thread(stop) || stop.stop_requested())
        return;
    g_startUpFailed = true;
    // A user error is on the error line already; a system error is only in the log.
    if (g_consoleDisplay->errorText().empty())
        g_consoleDisplay->setError("start-up stopped at a system error, see Log.txt");
    brg::g_log.write("Start-up failed, closing");
    brg::g_closing = true;
    brg::gf_exit(brg::E_USER_CLOSE);
}

// Reads Talvesync.cfg as a run would (with no log open, nothing is written) and prints what it
// understood; connects to nothing.
int lf_checkConfig()
{
    const auto file = brg::CfgFile::load();
    if (!file) {
        const std::string problem = brg::gf_notARegularFile(brg::kCfgFilePath);
        fmt::print(stderr, "talvesync: no {} here{}\n", brg::kCfgFilePath, problem.empty() ? "" : " (" + problem + ")");
        return 1;
    }
    brg::gf_getCfgData();
    const auto findings = brg::gf_checkCfgFile(*file);
    fmt::print("{}", brg::gf_checkReport(*file, findings));
    return findings.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace brg;
    const ConsoleOptions options = gf_parseConsoleOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case ConsoleOptions::Action::Help:
        fmt::print("{}", gf_consoleUsage());
        return 0;
    case ConsoleOptions::Action::Version:
        fmt::print("talvesync {}\n", kProgramVersion);
        return 0;
    case ConsoleOptions::Action::Wrong:
        fmt::print(stderr, "talvesync: {}\n{}", options.problem, gf_consoleUsage());
        return 2;
    case ConsoleOptions::Action::Run:
    case ConsoleOptions::Action::CheckConfig:
        break;
    }
    if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) {
        fmt::print(stderr, "talvesync: cannot run in {}: {}\n", options.folder, std::strerror(errno));
        return 1;
    }

    if (options.action == ConsoleOptions::Action::CheckConfig)
        return lf_checkConfig();

    try {
        g_log.open();
    } catch (const std::exception& e) {
        fmt::print(stderr, "{}\n", e.what());
        return 1;
    }
    // A closed terminal or pipe must not kill the run before its goodbyes: writes just fail.
    std::signal(SIGPIPE, SIG_IGN);
    g_consoleDisplay = std::make_shared<ConsoleDisplay>(stdout, isatty(STDOUT_FILENO) != 0 ? STDOUT_FILENO : -1);
    g_display = g_consoleDisplay;

    if (std::string problem; !gf_createTalvesyncFolder(&problem)) {
        fmt::print(stderr, "talvesync: {}\n", problem);
        return 1;
    }

    g_socketProvider = std::make_shared<PosixSocketProvider>();
    g_driveProvider = gf_systemDrives();
    // No window here, so no position to keep at the final stop.
    PosixMainLoop loop([](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        if (message == kMsgStartUp)
            g_engineThreads.startStartUp(lf_startUpOrStop);
        else
            gf_handleAppMessage(message, wParam, lParam, nullptr);
    });
    const CloseSignals closeSignals(loop);
    // Only when asked for: without a viewer the channels record nothing.
    const auto monitor = options.monitor ? std::make_unique<ConsoleMonitor>(g_consoleDisplay) : nullptr;
    g_mainWindow = &loop;
    loop.post(kMsgStartUp);
    loop.run();
    // The final stop has joined them; this covers a loop that ended without one.
    const bool threadsEnded = g_engineThreads.stopAndJoin(kThreadEndBound);
    g_mainWindow = nullptr;
    const int status = g_startUpFailed || g_runFailed ? 1 : 0;
    // A thread stuck in a blocking call may still use what the static destructors would end.
    if (!threadsEnded) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
