#pragma once
// The bridge's own threads, the start-up thread and the worker, held in one place so that the
// final stop can wait for both: nothing of a run is left running when the process ends, unless a
// thread is stuck in a blocking call, which the final stop waits for only so long.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace brg {

// How long the final stop waits for a thread that has not ended yet.
inline constexpr std::chrono::milliseconds kThreadEndBound{1000};

class EngineThreads {
public:
    EngineThreads() = default;
    ~EngineThreads() { stopAndJoin(kThreadEndBound); }
    EngineThreads(const EngineThreads&) = delete;
    EngineThreads& operator=(const EngineThreads&) = delete;

    // Each runs `body` on a new thread; an exception that escapes it is logged and ends the
    // thread. Ignored once stopAndJoin() has run: a late socket notification starts no worker.
    // The start-up thread's body gets the token that requestStop() sets.
    void startStartUp(std::function<void(std::stop_token)> body);
    void startWorker(std::function<void()> body);

    // The user is closing: the start-up thread stops at its next step. Its stop callbacks (the
    // version fetch's) run here, on the calling thread.
    void requestStop();

    // Ends the processing loop if it still runs and waits for both threads to end, each for at
    // most `bound` from the call. On the main thread, at the final stop; a thread never waits for
    // itself. False when a thread had to be left running (it is logged): the process must then
    // end without running its static destructors, which that thread may still use.
    bool stopAndJoin(std::chrono::milliseconds bound);
    // Allows threads again (a test's fresh process state).
    void reopen();

private:
    // Shared with its thread, which may outlive the slot when it is left behind.
    struct End {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };
    struct Slot {
        std::jthread thread;
        std::shared_ptr<End> end;
        const char* name = "";
    };
    void start(Slot& slot, const char* name, std::function<void(std::stop_token)> body);
    bool join(Slot& slot, std::chrono::steady_clock::time_point deadline);

    std::mutex m_mutex; // guards the two slots, m_stopped and m_leftBehind
    bool m_stopped = false;
    bool m_leftBehind = false;
    Slot m_startUp;
    Slot m_worker;
};

// The one set of the process.
extern EngineThreads g_engineThreads;

} // namespace brg
