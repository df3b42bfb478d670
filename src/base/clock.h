#pragma once
// Time as the engine sees it: the monotonic clock and sleeps. The program uses the steady clock;
// tests install a fake so that paced code runs without real waits. Delayed actions are the main
// loop's (MainLoop::postAfter).
#include <chrono>
#include <memory>

namespace brg {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class SteadyClock final : public Clock {
public:
    TimePoint now() const override;
    void sleepFor(std::chrono::milliseconds duration) override;
};

// The clock the engine uses; the steady clock unless a test installs another.
extern std::shared_ptr<Clock> g_clock;

// Sleeps on g_clock.
inline void gf_sleep(std::chrono::milliseconds duration) { g_clock->sleepFor(duration); }

} // namespace brg
