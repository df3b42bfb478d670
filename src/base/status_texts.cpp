#include "base/log.h"
#include "base/display.h"

namespace brg {

std::shared_ptr<Display> g_display = std::make_shared<StatusTexts>();

void StatusTexts::setStatus(const std::string& text)
{
    std::lock_guard lock(m_statusMutex);
    if (!m_errorText.empty())
        return;
    m_statusText = text;
    if (!text.empty())
        g_log.write(text);
}

void StatusTexts::setError(const std::string& text)
{
    std::lock_guard lock(m_statusMutex);
    m_statusText.clear();
    m_errorText = text;
    g_log.write("Error " + text);
}

std::string gf_oneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

std::string StatusTexts::statusText() const
{
    std::lock_guard lock(m_statusMutex);
    return m_statusText;
}

std::string StatusTexts::errorText() const
{
    std::lock_guard lock(m_statusMutex);
    return m_errorText;
}

} // namespace brg
