#pragma once
// The console program's main loop: poll() over the sockets and a wake-up pipe. It hands socket
// notifications and posted messages to one handler on the loop's thread, shaped as Winsock's
// window messages so the engine is the same code on both platforms.
#include "net/main_loop.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <vector>

namespace brg {

// What the loop polls for on behalf of a socket.
class PollSource {
public:
    virtual ~PollSource() = default;
    // The descriptor and events wanted now; events 0 leaves the source out of this round.
    virtual pollfd pollRequest() = 0;
    // Called on the loop's thread with what poll() reported.
    virtual void onReady(short revents) = 0;
    // The loop is being destroyed: forget it (sockets may outlive the loop at process end).
    virtual void loopGone() = 0;
};

class PosixMainLoop : public MainLoop {
public:
    using Handler = std::function<void(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

    // Throws std::runtime_error when the wake-up pipe cannot be made.
    explicit PosixMainLoop(Handler handler);
    ~PosixMainLoop() override; // tells every source it is gone
    PosixMainLoop(const PosixMainLoop&) = delete;
    PosixMainLoop& operator=(const PosixMainLoop&) = delete;

    // Async-signal-safe (one write to the pipe), so a SIGINT handler may post too.
    void post(std::uint32_t message) override;
    void postAfter(std::chrono::milliseconds delay, std::uint32_t message) override;
    // From any thread; a quit before run() makes the next run() return at once.
    void quit() override;
    // Delivers messages until quit().
    void run();

    // For the sockets of this layer: any thread.
    void addSource(std::shared_ptr<PollSource> source);
    void removeSource(const PollSource* source);
    // Queues a socket notification, delivered in order on the loop's thread.
    void notify(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Drops queued notifications of a socket that is gone.
    void discard(std::uintptr_t wParam);
    // Makes poll() ask the sources again (their wishes changed).
    void wake();

private:
    struct Notification {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    void deliverQueued();
    void deliverPosted();
    void deliverDue();
    void pollSources();

    Handler m_handler;
    int m_pipeRead = -1;
    int m_pipeWrite = -1;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_wakePending{false};
    std::mutex m_mutex; // guards m_sources, m_queue and m_timers; never held while calling out
    std::vector<std::shared_ptr<PollSource>> m_sources;
    std::deque<Notification> m_queue;
    std::map<std::uint32_t, std::chrono::steady_clock::time_point> m_timers; // message -> when due
};

} // namespace brg
