#include "console_input.h"

#include <csignal>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace brg::sim {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;
bool g_inputEnded = false;

} // namespace

void gf_catchStopRequests()
{
    // Without SA_RESTART, so that a wait on standard input returns at once.
    struct sigaction action {};
    action.sa_handler = [](int) { g_stopSignal = 1; };
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool gf_stopRequested() { return g_stopSignal != 0; }

std::optional<std::string> gf_readStandardInput(std::chrono::milliseconds timeout)
{
    if (g_inputEnded) {
        std::this_thread::sleep_for(timeout);
        return std::nullopt;
    }
    pollfd request{STDIN_FILENO, POLLIN, 0};
    if (::poll(&request, 1, static_cast<int>(timeout.count())) <= 0)
        return std::string();
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        g_inputEnded = true;
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

} // namespace brg::sim
