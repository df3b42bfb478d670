// talvesync for Linux: the same bridge as the Windows program, run from a console in the folder
// that holds Talvesync.cfg. Ctrl-C or SIGTERM is the user's close request.
#include "app/exceptions.h"
#include "app/log.h"
#include "app/process_state.h"
#include "app/startup.h"
#include "net/main_loop.h"
#include "platform/posix/console_display.h"
#include "platform/posix/main_loop_posix.h"
#include "platform/posix/socket_posix.h"
#include "platform/system_drives.h"
#include "sioc/drives.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fmt/format.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

// Turns SIGINT and SIGTERM into close requests on the main loop; the signals are blocked in
// every thread so that only this one receives them.
void lf_forwardCloseSignals(brg::MainLoop& loop)
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals, &loop] {
        for (;;) {
            int received = 0;
            if (sigwait(&signals, &received) == 0)
                loop.post(brg::kMsgCloseRequest);
        }
    }).detach();
}

} // namespace

int main()
{
    using namespace brg;
    try {
        g_log.open();
    } catch (const std::exception& e) {
        fmt::print(stderr, "{}\n", e.what());
        return 1;
    }
    g_display = std::make_shared<ConsoleDisplay>(stdout, isatty(STDOUT_FILENO) != 0);

    std::error_code error;
    if (!std::filesystem::exists("Talvesync", error) && !error)
        std::filesystem::create_directories("Talvesync", error);
    if (error) {
        g_log.write(fmt::format("Failed to create directory: {}", error.message()));
        return 0;
    }

    g_socketProvider = std::make_shared<PosixSocketProvider>();
    g_driveProvider = gf_systemDrives();
    // No window here, so no position to keep at the final stop.
    PosixMainLoop loop([](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        gf_handleAppMessage(message, wParam, lParam, nullptr);
    });
    lf_forwardCloseSignals(loop);
    g_mainWindow = &loop;
    loop.post(kMsgStartUp);
    loop.run();
    g_mainWindow = nullptr;
    return 0;
}
