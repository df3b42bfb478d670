#include "platform/posix/console_monitor.h"

#include "platform/posix/console_display.h"

namespace brg {

ConsoleMonitor::ConsoleMonitor(std::shared_ptr<ConsoleDisplay> display)
    : m_display(std::move(display)), m_thread([this](std::stop_token stop) { run(stop); })
{
}

ConsoleMonitor::~ConsoleMonitor()
{
    m_thread.request_stop();
    if (m_thread.joinable())
        m_thread.join();
}

void ConsoleMonitor::run(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        if (auto rows = m_feed.poll(g_clock->now()))
            m_display->showMonitor(std::move(*rows), MonitorTime::now());
        m_wake.wait_for(lock, stop, MonitorFeed::kInterval, [] { return false; });
    }
}

} // namespace brg
