#include "base/clock.h"

#include <thread>

namespace brg {

std::shared_ptr<Clock> g_clock = std::make_shared<SteadyClock>();

Clock::TimePoint SteadyClock::now() const { return std::chrono::steady_clock::now(); }

void SteadyClock::sleepFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

} // namespace brg
