#include "platform/posix/console_display.h"

#include <fmt/format.h>

namespace brg {

namespace {

// Error texts may end with a line feed of their own.
std::string lf_oneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

void ConsoleDisplay::print(const std::string& line, bool error)
{
    std::lock_guard lock(m_printMutex);
    if (m_terminal && error)
        fmt::print(m_out, "\033[31m{}\033[0m\n", line);
    else
        fmt::print(m_out, "{}\n", line);
    std::fflush(m_out);
}

void ConsoleDisplay::setStatus(const std::string& text)
{
    StatusTexts::setStatus(text);
    if (errorText().empty())
        print("status: " + lf_oneLine(text));
}

void ConsoleDisplay::setError(const std::string& text)
{
    StatusTexts::setError(text);
    print("error: " + lf_oneLine(text), true);
}

void ConsoleDisplay::setPsxConnected(bool connected)
{
    if (connected != psxConnected())
        print(connected ? "psx: connected" : "psx: disconnected");
    StatusTexts::setPsxConnected(connected);
}

void ConsoleDisplay::setSiocConnected(bool connected)
{
    if (connected != siocConnected())
        print(connected ? "sioc: connected" : "sioc: disconnected");
    StatusTexts::setSiocConnected(connected);
}

void ConsoleDisplay::setVariableCount(std::uint32_t count)
{
    StatusTexts::setVariableCount(count);
    print(fmt::format("variables: {}", count));
}

} // namespace brg
