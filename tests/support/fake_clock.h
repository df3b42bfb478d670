#pragma once
// A clock that never waits: sleeps move its time on at once, delayed actions (a fake main loop's
// timer) wait for advance().
#include "base/clock.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace brg::test {

class FakeClock : public Clock {
public:
    // Installs a new fake as g_clock; uninstall() puts the steady clock back.
    static std::shared_ptr<FakeClock> install();
    static void uninstall();

    TimePoint now() const override;
    // Records the sleep, moves time on, then calls onSleep (outside the clock's lock).
    void sleepFor(std::chrono::milliseconds duration) override;
    void runAfter(std::chrono::milliseconds delay, std::function<void()> action);

    // Moves time on and runs, on the caller's thread, the actions that fall due, earliest first.
    void advance(std::chrono::milliseconds duration);
    // The delays asked for by runAfter, in call order.
    std::vector<std::chrono::milliseconds> delays() const;
    std::vector<std::chrono::milliseconds> sleeps() const;

    std::function<void(std::chrono::milliseconds)> onSleep;

private:
    mutable std::mutex m_mutex;
    TimePoint m_now{};
    std::vector<std::chrono::milliseconds> m_sleeps;
    std::vector<std::chrono::milliseconds> m_delays;
    std::multimap<TimePoint, std::function<void()>> m_pending; // of equal times, the first asked runs first
};

} // namespace brg::test
