#pragma once
// The bridge's own threads, the start-up thread and the worker, held in one place so that the
// final stop can wait for both: nothing of a run is left running when the process ends.
#include <functional>
#include <mutex>
#include <thread>

namespace brg {

class EngineThreads {
public:
    EngineThreads() = default;
    ~EngineThreads() { stopAndJoin(); }
    EngineThreads(const EngineThreads&) = delete;
    EngineThreads& operator=(const EngineThreads&) = delete;

    // Each runs `body` on a new thread; an exception that escapes it is logged and ends the
    // thread. Ignored once stopAndJoin() has run: a late socket notification starts no worker.
    void startStartUp(std::function<void()> body);
    void startWorker(std::function<void()> body);

    // Ends the processing loop if it still runs and waits for both threads to end. On the main
    // thread, at the final stop; a thread never waits for itself.
    void stopAndJoin();
    // Allows threads again (a test's fresh process state).
    void reopen();

private:
    void start(std::jthread& slot, const char* name, std::function<void()> body);

    std::mutex m_mutex; // guards the two slots and m_stopped
    bool m_stopped = false;
    std::jthread m_startUp;
    std::jthread m_worker;
};

// The one set of the process.
extern EngineThreads g_engineThreads;

} // namespace brg
