#pragma once
// Containers through which variable code reaches PSX outside the channel queues; the processing
// loop forwards them to the PSX sending channel.
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brg {

// A first-in first-out queue with its own mutex, held only while one entry goes in or out.
template <typename T>
class LockedQueue {
public:
    void push(T entry)
    {
        std::lock_guard lock(m_mutex);
        m_entries.push_back(std::move(entry));
    }
    std::optional<T> tryPop()
    {
        std::lock_guard lock(m_mutex);
        if (m_entries.empty())
            return std::nullopt;
        T entry = std::move(m_entries.front());
        m_entries.pop_front();
        return entry;
    }
    std::size_t size() const
    {
        std::lock_guard lock(m_mutex);
        return m_entries.size();
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::deque<T> m_entries;
};

// Numbers forwarded as (number, -1); appended and drained on the worker thread only, so unguarded.
extern std::vector<std::uint32_t> g_psxElementList;
// (number, value) pairs, at most one forwarded per processing cycle.
extern LockedQueue<std::pair<std::uint32_t, std::int32_t>> g_psxValueQueue;
// (Qs index, text) pairs, at most one forwarded per processing cycle.
extern LockedQueue<std::pair<std::uint32_t, std::string>> g_psxStringQueue;

} // namespace brg
