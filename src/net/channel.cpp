#include "net/channel.h"

namespace brg {

void Channel::pushElement(ChannelElement element)
{
    std::lock_guard lock(m_queueMutex);
    m_queue.push_back(element);
}

void Channel::flushQueue()
{
    std::lock_guard lock(m_queueMutex);
    if (m_queue.empty())
        return;
    std::size_t done = 0;
    try {
        for (const ChannelElement& element : m_queue) {
            flushElement(element);
            ++done;
        }
    } catch (...) {
        m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(done));
        throw;
    }
    m_queue.clear();
    flush();
}

void Channel::discardQueue()
{
    std::lock_guard lock(m_queueMutex);
    m_queue.clear();
}

std::size_t Channel::queuedCount() const
{
    std::lock_guard lock(m_queueMutex);
    return m_queue.size();
}

std::vector<ChannelElement> Channel::queuedElements() const
{
    std::lock_guard lock(m_queueMutex);
    return {m_queue.begin(), m_queue.end()};
}

} // namespace brg
