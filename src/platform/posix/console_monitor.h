#pragma once
// talvesync --monitor: a thread of its own hands the variables' rows to the console display at
// the monitor's pace, for as long as this object lives.
#include "monitor/monitor_view.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace brg {

class ConsoleDisplay;

class ConsoleMonitor {
public:
    explicit ConsoleMonitor(std::shared_ptr<ConsoleDisplay> display);
    ~ConsoleMonitor();
    ConsoleMonitor(const ConsoleMonitor&) = delete;
    ConsoleMonitor& operator=(const ConsoleMonitor&) = delete;

private:
    void run(std::stop_token stop);

    std::shared_ptr<ConsoleDisplay> m_display;
    MonitorFeed m_feed;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::jthread m_thread; // last: stopped and joined before the rest goes
};

} // namespace brg
