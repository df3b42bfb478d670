#include "support/fake_clock.h"

namespace brg::test {

std::shared_ptr<FakeClock> FakeClock::install()
{
    auto clock = std::make_shared<FakeClock>();
    g_clock = clock;
    return clock;
}

void FakeClock::uninstall() { g_clock = std::make_shared<SteadyClock>(); }

Clock::TimePoint FakeClock::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void FakeClock::sleepFor(std::chrono::milliseconds duration)
{
    {
        std::lock_guard lock(m_mutex);
        m_now += duration;
        m_sleeps.push_back(duration);
    }
    if (onSleep)
        onSleep(duration);
}

void FakeClock::runAfter(std::chrono::milliseconds delay, std::function<void()> action)
{
    std::lock_guard lock(m_mutex);
    m_delays.push_back(delay);
    m_pending.emplace(m_now + delay, std::move(action));
}

void FakeClock::advance(std::chrono::milliseconds duration)
{
    std::vector<std::function<void()>> due;
    {
        std::lock_guard lock(m_mutex);
        m_now += duration;
        const auto end = m_pending.upper_bound(m_now);
        for (auto it = m_pending.begin(); it != end; ++it)
            due.push_back(std::move(it->second));
        m_pending.erase(m_pending.begin(), end);
    }
    for (auto& action : due)
        action();
}

std::vector<std::chrono::milliseconds> FakeClock::delays() const
{
    std::lock_guard lock(m_mutex);
    return m_delays;
}

std::vector<std::chrono::milliseconds> FakeClock::sleeps() const
{
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

} // namespace brg::test
