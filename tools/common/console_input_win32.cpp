#include "console_input.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace brg::sim {
namespace {

std::atomic<bool> g_stop{false};

BOOL WINAPI lf_onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    g_stop = true;
    return TRUE;
}

// A console or pipe handle cannot be waited on with a timeout in one way for both, so one thread
// reads it and hands the bytes over. The thread stays blocked in ReadFile until the process ends.
class InputReader {
public:
    InputReader()
    {
        std::thread([this] { run(); }).detach();
    }

    std::optional<std::string> take(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, timeout, [this] { return !m_pending.empty() || m_ended; });
        if (!m_pending.empty())
            return std::exchange(m_pending, std::string());
        if (m_ended)
            return std::nullopt;
        return std::string();
    }

private:
    void run()
    {
        const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
        char buffer[4096];
        DWORD n = 0;
        while (input != nullptr && input != INVALID_HANDLE_VALUE &&
               ::ReadFile(input, buffer, sizeof buffer, &n, nullptr) && n > 0) {
            std::lock_guard lock(m_mutex);
            m_pending.append(buffer, n);
            m_arrived.notify_one();
        }
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_arrived.notify_one();
    }

    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::string m_pending;
    bool m_ended = false;
};

} // namespace

void gf_catchStopRequests() { ::SetConsoleCtrlHandler(lf_onConsoleEvent, TRUE); }

bool gf_stopRequested() { return g_stop; }

std::optional<std::string> gf_readStandardInput(std::chrono::milliseconds timeout)
{
    // Started on first use; never destroyed, since its thread may still be reading at the end.
    static InputReader& reader = *new InputReader;
    return reader.take(timeout);
}

} // namespace brg::sim
