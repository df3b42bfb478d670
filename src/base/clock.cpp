#include "base/clock.h"

#include "base/log.h"

#include <exception>
#include <thread>

namespace brg {

std::shared_ptr<Clock> g_clock = std::make_shared<SteadyClock>();

Clock::TimePoint SteadyClock::now() const { return std::chrono::steady_clock::now(); }

void SteadyClock::sleepFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

void SteadyClock::runAfter(std::chrono::milliseconds delay, std::function<void()> action)
{
    // A detached thread per action: the delays are rare (one per failed connection attempt).
    std::thread([delay, action = std::move(action)] {
        std::this_thread::sleep_for(delay);
        try {
            action();
        } catch (...) {
            gf_logException("SteadyClock::runAfter");
        }
    }).detach();
}

} // namespace brg
