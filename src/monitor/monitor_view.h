#pragma once
// What the viewers of the variable monitor share: the columns and their texts, the filter, the
// order by latest change, and the pace at which rows are handed over.
#include "monitor/variable_monitor.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brg {

enum class MonitorColumn { Number, Name, Psx, Type, SiocValue, PsxValue, Changed, Changes };
inline constexpr std::size_t kMonitorColumnCount = 8;

std::string_view gf_monitorColumnTitle(MonitorColumn column);

// The moment a viewer shows its rows: the engine's clock, and the wall clock that turns a change
// into a time of day.
struct MonitorTime {
    Clock::TimePoint steady;
    std::chrono::system_clock::time_point wall;
    static MonitorTime now();
};

// A cell's text. Values not seen yet are empty; the time of the last change is UTC, as in the log.
std::string gf_monitorCell(const MonitorRow& row, MonitorColumn column, const MonitorTime& now);

// The filter as the user types it: empty shows every row; otherwise a row is shown whose number,
// name or PSX variable contains it, letters in either case.
bool gf_monitorMatches(const MonitorRow& row, std::string_view filter);

inline constexpr std::chrono::seconds kMonitorHighlight{2};
// Changed in the last two seconds: the row stands out.
bool gf_monitorHighlighted(const MonitorRow& row, Clock::TimePoint now);

// Most recently changed first; rows never changed after them, by number.
void gf_sortByLatestChange(std::vector<MonitorRow>& rows);

// One viewer's watch of the monitor: recording runs while a feed exists. poll() hands rows over
// at most every 200 ms, and only when something changed or a highlight shown at the last
// hand-over may have run out since.
class MonitorFeed {
public:
    static constexpr std::chrono::milliseconds kInterval{200};

    explicit MonitorFeed(VariableMonitor& monitor = g_variableMonitor);
    ~MonitorFeed();
    MonitorFeed(const MonitorFeed&) = delete;
    MonitorFeed& operator=(const MonitorFeed&) = delete;

    std::optional<std::vector<MonitorRow>> poll(Clock::TimePoint now);

private:
    VariableMonitor& m_monitor;
    std::optional<Clock::TimePoint> m_handedAt;
    std::uint64_t m_generation = 0;
    std::optional<Clock::TimePoint> m_latestChange; // of the rows last handed over
};

} // namespace brg
