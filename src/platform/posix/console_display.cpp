#include "platform/posix/console_display.h"

#include "config/config_items.h"
#include "config/config_reader.h"
#include "platform/posix/terminal_cdu_painter.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <fmt/format.h>
#include <sys/ioctl.h>

namespace brg {

namespace {

constexpr std::size_t kBlockLines = 4;
constexpr const char* kRed = "\033[31m";
constexpr const char* kPlain = "\033[0m";
constexpr const char* kReverse = "\033[7m";

// The table's columns on a terminal, with their widths (negative: right-aligned); the type comes
// last, as it is the first to be cut on a narrow terminal.
constexpr std::pair<MonitorColumn, int> kMonitorColumns[] = {
    {MonitorColumn::Number, -5},    {MonitorColumn::Name, 18},      {MonitorColumn::Psx, 6},
    {MonitorColumn::SiocValue, -11}, {MonitorColumn::PsxValue, -11}, {MonitorColumn::Changed, 8},
    {MonitorColumn::Changes, -7},   {MonitorColumn::Type, 0},
};

std::string lf_monitorLine(const std::function<std::string(MonitorColumn)>& cell)
{
    std::string line;
    for (const auto& [column, width] : kMonitorColumns) {
        std::string text = cell(column);
        const auto size = static_cast<std::size_t>(width < 0 ? -width : width);
        if (size != 0 && text.size() > size)
            text.resize(size);
        if (!line.empty())
            line += ' ';
        line += width < 0 ? fmt::format("{:>{}}", text, size) : fmt::format("{:<{}}", text, size);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// A line longer than the terminal would wrap and the block would no longer be redrawn in place:
// cut it to `columns` characters (UTF-8 continuation bytes take no column).
std::string lf_fit(const std::string& text, std::size_t columns)
{
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (++used > columns)
            return text.substr(0, i);
    }
    return text;
}

// A terminal that does not tell its size is taken as the usual 80 × 24.
winsize lf_size(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 24;
    }
    return size;
}

// The last column stays free: a line that fills it would leave the cursor waiting to wrap.
std::size_t lf_columns(int fd) { return std::max<std::size_t>(lf_size(fd).ws_col, 2) - 1; }

} // namespace

void ConsoleDisplay::print(const std::string& line)
{
    std::lock_guard lock(m_printMutex);
    write(line + "\n");
}

// Called with m_printMutex held.
void ConsoleDisplay::write(const std::string& bytes)
{
    // Once the terminal is gone nobody reads this; the run must go on to its end.
    try {
        fmt::print(m_out, "{}", bytes);
    } catch (const std::exception&) {
    }
    std::fflush(m_out);
}

void ConsoleDisplay::redraw()
{
    // Built under the lock: two threads may redraw at once, and the later state must win.
    std::lock_guard lock(m_printMutex);
    redrawLocked();
}

void ConsoleDisplay::redrawLocked()
{
    const std::string error = gf_oneLine(errorText());
    const std::string status = gf_oneLine(statusText());
    std::vector<std::string> block = {
        siocConnected() ? "sioc: connected" : "sioc: not connected",
        psxConnected() ? "psx: connected" : "psx: not connected",
        fmt::format("variables: {}", variableCount()),
        !error.empty() ? "error: " + error : !status.empty() ? "status: " + status : "",
    };
    if (block == m_drawn)
        return;
    const std::size_t columns = lf_columns(m_terminalFd);
    std::string out;
    if (!m_drawn.empty())
        out = fmt::format("\033[{}A\r", m_drawn.size() + belowBlock());
    for (std::size_t i = 0; i < block.size(); ++i) {
        const std::string line = lf_fit(block[i], columns);
        const bool red = i + 1 == block.size() && !error.empty();
        out += fmt::format("\033[2K{}{}{}\n", red ? kRed : "", line, red ? kPlain : "");
    }
    // Back below the table and the CDU screen, where their rows are counted from.
    if (belowBlock() != 0)
        out += fmt::format("\033[{}B", belowBlock());
    write(out);
    m_drawn = std::move(block);
}

void ConsoleDisplay::setStatus(const std::string& text)
{
    StatusTexts::setStatus(text);
    if (terminal())
        redraw();
    else if (errorText().empty() && !gf_oneLine(text).empty())
        print("status: " + gf_oneLine(text));
}

void ConsoleDisplay::setError(const std::string& text)
{
    StatusTexts::setError(text);
    if (terminal())
        redraw();
    else
        print("error: " + gf_oneLine(text));
}

void ConsoleDisplay::setPsxConnected(bool connected)
{
    const bool changed = connected != psxConnected();
    StatusTexts::setPsxConnected(connected);
    if (terminal())
        redraw();
    else if (changed)
        print(connected ? "psx: connected" : "psx: disconnected");
}

void ConsoleDisplay::setSiocConnected(bool connected)
{
    const bool changed = connected != siocConnected();
    StatusTexts::setSiocConnected(connected);
    if (terminal())
        redraw();
    else if (changed)
        print(connected ? "sioc: connected" : "sioc: disconnected");
}

void ConsoleDisplay::setVariableCount(std::uint32_t count)
{
    StatusTexts::setVariableCount(count);
    if (terminal())
        redraw();
    else
        print(fmt::format("variables: {}", count));
}

bool ConsoleDisplay::enterCduMode()
{
    std::lock_guard lock(m_printMutex);
    if (m_cduActive)
        return true;
    const winsize size = lf_size(m_terminalFd);
    if (size.ws_col <= kCduColumns || size.ws_row <= kBlockLines + m_monitorDrawn.size() + kCduRows)
        return false;
    m_cduWithColour = cfg::LCD_CDU.value();
    m_cduTextColour = {static_cast<std::uint8_t>(cfg::CDU_COLOR_R.value()),
                       static_cast<std::uint8_t>(cfg::CDU_COLOR_G.value()),
                       static_cast<std::uint8_t>(cfg::CDU_COLOR_B.value())};
    m_cdu.screen().reset(m_cduWithColour);
    if (m_drawn.empty())
        redrawLocked();
    // The screen starts dark, laid out below the block; from here on only changed rows are drawn.
    m_cduDrawn.assign(kCduRows, gf_terminalCduBlankRow());
    std::string out;
    for (const std::string& row : m_cduDrawn)
        out += row + "\n";
    write(out);
    m_cduActive = true;
    return true;
}

void ConsoleDisplay::setCduMode(bool on)
{
    if (!terminal())
        return;
    if (on) {
        if (m_cduRefused || enterCduMode())
            return;
        // Said once; drawing into a terminal too small would scroll the block away.
        m_cduRefused = true;
        setStatus(fmt::format("terminal too small for the CDU screen: it needs {} columns and {} rows",
                              kCduColumns + 1, kBlockLines + kCduRows + 1));
        return;
    }
    std::lock_guard lock(m_printMutex);
    if (!m_cduActive)
        return;
    m_cduActive = false;
    write(fmt::format("\033[{}A\r\033[J", m_cduDrawn.size()));
    m_cduDrawn.clear();
}

void ConsoleDisplay::cduHandOver()
{
    if (!m_cduActive || !m_cdu.screen().handOver())
        return;
    std::lock_guard lock(m_printMutex);
    if (!m_cduActive)
        return;
    TerminalCduPainter painter(m_cduTextColour, m_cduWithColour);
    m_cdu.screen().paint(painter);
    std::string out;
    for (std::uint32_t r = 0; r < kCduRows; ++r) {
        const auto& row = painter.rows()[r];
        if (!row || *row == m_cduDrawn[r])
            continue;
        // Up to the row and back below the screen: the rest of the terminal stays untouched.
        const std::size_t up = m_cduDrawn.size() - r;
        out += fmt::format("\033[{}A\r{}\r\033[{}B", up, *row, up);
        m_cduDrawn[r] = *row;
    }
    if (!out.empty())
        write(out);
}

void ConsoleDisplay::cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    if (cduFed())
        m_cdu.largeLine(cdu, row, text);
}

void ConsoleDisplay::cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    if (cduFed())
        m_cdu.colourLine(cdu, row, text);
}

void ConsoleDisplay::cduBlankState(std::uint32_t cdu, bool blank)
{
    if (cduFed())
        m_cdu.blankState(cdu, blank);
}

void ConsoleDisplay::showMonitor(std::vector<MonitorRow> rows, const MonitorTime& now)
{
    if (rows.empty())
        return;
    if (!terminal()) {
        printMonitorChanges(std::move(rows), now);
        return;
    }
    std::lock_guard lock(m_printMutex);
    // The table goes between the block and the CDU screen: once the screen is there, too late.
    if (m_monitorDrawn.empty() && m_cduActive)
        return;
    if (m_drawn.empty())
        redrawLocked();
    std::size_t height = m_monitorDrawn.size();
    if (height == 0) {
        // Every row the terminal has, but the block's, the CDU screen's when one is to be shown,
        // and the one the cursor waits on.
        const std::size_t reserved = kBlockLines + 1 + (g_cduMode ? kCduRows : 0);
        const std::size_t terminalRows = lf_size(m_terminalFd).ws_row;
        if (terminalRows < reserved + 2)
            return;
        height = terminalRows - reserved;
    }
    gf_sortByLatestChange(rows);
    const std::size_t columns = lf_columns(m_terminalFd);
    std::vector<std::string> lines;
    lines.push_back(lf_fit(lf_monitorLine([](MonitorColumn c) { return std::string(gf_monitorColumnTitle(c)); }), columns));
    for (const MonitorRow& row : rows) {
        if (lines.size() == height)
            break;
        std::string line = lf_fit(lf_monitorLine([&](MonitorColumn c) { return gf_monitorCell(row, c, now); }), columns);
        // Control characters of a PSX text must not reach the terminal.
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                c = '?';
        lines.push_back(gf_monitorHighlighted(row, now.steady) ? kReverse + line + kPlain : line);
    }
    lines.resize(height);
    std::string out;
    if (m_monitorDrawn.empty()) {
        for (const std::string& line : lines)
            out += "\033[2K" + line + "\n";
    } else {
        for (std::size_t i = 0; i < height; ++i) {
            if (lines[i] == m_monitorDrawn[i])
                continue;
            const std::size_t up = height - i + m_cduDrawn.size();
            out += fmt::format("\033[{}A\r\033[2K{}\r\033[{}B", up, lines[i], up);
        }
    }
    if (!out.empty())
        write(out);
    m_monitorDrawn = std::move(lines);
}

// Oldest change first, as they happened; a variable that changed several times since the last
// look is one line with its latest values.
void ConsoleDisplay::printMonitorChanges(std::vector<MonitorRow> rows, const MonitorTime& now)
{
    std::erase_if(rows, [this](const MonitorRow& row) {
        const auto printed = m_monitorPrinted.find(row.info.number);
        return row.changes == 0 || (printed != m_monitorPrinted.end() && printed->second == row.changes);
    });
    gf_sortByLatestChange(rows);
    std::reverse(rows.begin(), rows.end());
    for (const MonitorRow& row : rows) {
        m_monitorPrinted[row.info.number] = row.changes;
        const auto shown = [&](MonitorColumn column) {
            const std::string text = gf_monitorCell(row, column, now);
            return text.empty() ? std::string("-") : text;
        };
        print(fmt::format("monitor: {} {}{} sioc={} psx={}", row.info.number, row.info.name,
                          row.info.psxName.empty() ? "" : " " + row.info.psxName, shown(MonitorColumn::SiocValue),
                          gf_oneLine(shown(MonitorColumn::PsxValue))));
    }
}

void ConsoleDisplay::cduSelectionChanged()
{
    if (m_cduActive)
        m_cdu.reselect();
}

} // namespace brg
