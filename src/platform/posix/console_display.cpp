#include "platform/posix/console_display.h"

#include <fmt/format.h>
#include <sys/ioctl.h>

namespace brg {

namespace {

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

std::size_t lf_columns(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col - 1u;
    return 79;
}

} // namespace

void ConsoleDisplay::print(const std::string& line)
{
    std::lock_guard lock(m_printMutex);
    // Once the terminal is gone nobody reads these lines; the run must go on to its end.
    try {
        fmt::print(m_out, "{}\n", line);
    } catch (const std::exception&) {
    }
    std::fflush(m_out);
}

void ConsoleDisplay::redraw()
{
    // Built under the lock: two threads may redraw at once, and the later state must win.
    std::lock_guard lock(m_printMutex);
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
        out = fmt::format("\033[{}A\r", m_drawn.size());
    for (std::size_t i = 0; i < block.size(); ++i) {
        const std::string line = lf_fit(block[i], columns);
        const bool red = i + 1 == block.size() && !error.empty();
        out += fmt::format("\033[2K{}{}{}\n", red ? kRed : "", line, red ? kPlain : "");
    }
    // As for the stable lines: a terminal that has gone away must not end the run.
    try {
        fmt::print(m_out, "{}", out);
    } catch (const std::exception&) {
    }
    std::fflush(m_out);
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

} // namespace brg
