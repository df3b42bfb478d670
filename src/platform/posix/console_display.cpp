#include "platform/posix/console_display.h"

#include "config/config_items.h"
#include "platform/posix/terminal_cdu_painter.h"

#include <algorithm>
#include <fmt/format.h>
#include <sys/ioctl.h>

namespace brg {

namespace {

constexpr std::size_t kBlockLines = 4;
constexpr const char* kRed = "\033[31m";
constexpr const char* kPlain = "\033[0m";

// Error texts may end with a line feed of their own; one inside would break the block.
std::string lf_oneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
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
    const std::string error = lf_oneLine(errorText());
    const std::string status = lf_oneLine(statusText());
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
        out = fmt::format("\033[{}A\r", m_drawn.size() + m_cduDrawn.size());
    for (std::size_t i = 0; i < block.size(); ++i) {
        const std::string line = lf_fit(block[i], columns);
        const bool red = i + 1 == block.size() && !error.empty();
        out += fmt::format("\033[2K{}{}{}\n", red ? kRed : "", line, red ? kPlain : "");
    }
    // Back below the CDU screen, where its rows are counted from.
    if (!m_cduDrawn.empty())
        out += fmt::format("\033[{}B", m_cduDrawn.size());
    write(out);
    m_drawn = std::move(block);
}

void ConsoleDisplay::setStatus(const std::string& text)
{
    StatusTexts::setStatus(text);
    if (terminal())
        redraw();
    else if (errorText().empty() && !lf_oneLine(text).empty())
        print("status: " + lf_oneLine(text));
}

void ConsoleDisplay::setError(const std::string& text)
{
    StatusTexts::setError(text);
    if (terminal())
        redraw();
    else
        print("error: " + lf_oneLine(text));
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
    if (size.ws_col <= kCduColumns || size.ws_row <= kBlockLines + kCduRows)
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

void ConsoleDisplay::cduSelectionChanged()
{
    if (m_cduActive)
        m_cdu.reselect();
}

} // namespace brg
