#include "monitor/monitor_view.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fmt/format.h>

namespace brg {

namespace {

constexpr std::array<std::string_view, kMonitorColumnCount> kTitles{
    "SIOC", "Name", "PSX", "Type", "SIOC value", "PSX value", "Changed (UTC)", "Changes"};

std::string lf_value(const std::optional<std::int32_t>& value)
{
    return value ? fmt::format("{}", *value) : std::string();
}

std::string lf_timeOfDay(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(time.time_since_epoch()).count();
    const auto ofDay = ((seconds % 86400) + 86400) % 86400;
    return fmt::format("{:02}:{:02}:{:02}", ofDay / 3600, ofDay / 60 % 60, ofDay % 60);
}

bool lf_containsIgnoringCase(std::string_view text, std::string_view part)
{
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); })
           != text.end();
}

} // namespace

std::string_view gf_monitorColumnTitle(MonitorColumn column) { return kTitles[static_cast<std::size_t>(column)]; }

MonitorTime MonitorTime::now() { return {g_clock->now(), std::chrono::system_clock::now()}; }

std::string gf_monitorCell(const MonitorRow& row, MonitorColumn column, const MonitorTime& now)
{
    switch (column) {
    case MonitorColumn::Number:
        return fmt::format("{}", row.info.number);
    case MonitorColumn::Name:
        return row.info.name;
    case MonitorColumn::Psx:
        return row.info.psxName;
    case MonitorColumn::Type:
        return row.info.type;
    case MonitorColumn::SiocValue:
        return lf_value(row.sioc);
    case MonitorColumn::PsxValue:
        return row.info.psxText ? (row.psx ? row.psxText : std::string()) : lf_value(row.psx);
    case MonitorColumn::Changed:
        if (!row.changedAt)
            return {};
        return lf_timeOfDay(now.wall - std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                           now.steady - *row.changedAt));
    case MonitorColumn::Changes:
        return fmt::format("{}", row.changes);
    }
    return {};
}

bool gf_monitorMatches(const MonitorRow& row, std::string_view filter)
{
    return filter.empty() || lf_containsIgnoringCase(fmt::format("{}", row.info.number), filter)
           || lf_containsIgnoringCase(row.info.name, filter) || lf_containsIgnoringCase(row.info.psxName, filter);
}

bool gf_monitorHighlighted(const MonitorRow& row, Clock::TimePoint now)
{
    return row.changedAt && now - *row.changedAt < kMonitorHighlight;
}

void gf_sortByLatestChange(std::vector<MonitorRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const MonitorRow& a, const MonitorRow& b) {
        if (a.changedAt != b.changedAt)
            return a.changedAt > b.changedAt; // an empty optional is the oldest
        return a.info.number < b.info.number;
    });
}

MonitorFeed::MonitorFeed(VariableMonitor& monitor) : m_monitor(monitor) { m_monitor.watch(); }

MonitorFeed::~MonitorFeed() { m_monitor.unwatch(); }

std::optional<std::vector<MonitorRow>> MonitorFeed::poll(Clock::TimePoint now)
{
    if (m_handedAt && now - *m_handedAt < kInterval)
        return std::nullopt;
    const std::uint64_t generation = m_monitor.generation();
    // The last hand-over showed a highlight: one more once it may have run out.
    const bool highlightEnding = m_latestChange && *m_handedAt - *m_latestChange < kMonitorHighlight;
    if (m_handedAt && generation == m_generation && !highlightEnding)
        return std::nullopt;
    std::vector<MonitorRow> rows = m_monitor.snapshot();
    m_handedAt = now;
    m_generation = generation;
    m_latestChange.reset();
    for (const MonitorRow& row : rows)
        if (row.changedAt && (!m_latestChange || *row.changedAt > *m_latestChange))
            m_latestChange = row.changedAt;
    return rows;
}

} // namespace brg
