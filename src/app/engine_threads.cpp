#include "app/engine_threads.h"

#include "app/process_state.h"
#include "base/log.h"

#include <fmt/format.h>
#include <utility>

namespace brg {

EngineThreads g_engineThreads;

void EngineThreads::start(Slot& slot, const char* name, std::function<void(std::stop_token)> body)
{
    // Each starts once per run; were one started twice, the first is waited for, not lost.
    Slot previous;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopped)
            return;
        previous = std::move(slot);
        slot.name = name;
        slot.end = std::make_shared<End>();
        slot.thread = std::jthread([name, end = slot.end, body = std::move(body)](std::stop_token stop) {
            try {
                body(stop);
            } catch (...) {
                gf_logException(name);
            }
            std::lock_guard endLock(end->mutex);
            end->done = true;
            end->ended.notify_all();
        });
    }
}

void EngineThreads::startStartUp(std::function<void(std::stop_token)> body)
{
    start(m_startUp, "lf_startUp_as_Thread", std::move(body));
}

void EngineThreads::startWorker(std::function<void()> body)
{
    start(m_worker, "lf_syncAndProcess_as_Thread", [body = std::move(body)](std::stop_token) { body(); });
}

void EngineThreads::requestStop()
{
    std::stop_source source;
    {
        std::lock_guard lock(m_mutex);
        source = m_startUp.thread.get_stop_source();
    }
    // Outside the lock: the callbacks close what the thread waits on.
    source.request_stop();
}

bool EngineThreads::join(Slot& slot, std::chrono::steady_clock::time_point deadline)
{
    if (!slot.thread.joinable())
        return true;
    if (slot.thread.get_id() == std::this_thread::get_id()) {
        slot.thread.detach();
        return true;
    }
    bool done = false;
    {
        std::unique_lock lock(slot.end->mutex);
        done = slot.end->ended.wait_until(lock, deadline, [&] { return slot.end->done; });
    }
    if (done) {
        slot.thread.join();
        return true;
    }
    g_log.write(fmt::format("{} still busy at the end, not waited for", slot.name));
    slot.thread.request_stop();
    slot.thread.detach();
    return false;
}

bool EngineThreads::stopAndJoin(std::chrono::milliseconds bound)
{
    Slot startUp;
    Slot worker;
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        startUp = std::move(m_startUp);
        worker = std::move(m_worker);
    }
    // Normally the exit sequence has stopped the loop already.
    g_processing = false;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    const bool startUpEnded = join(startUp, deadline);
    const bool workerEnded = join(worker, deadline);
    std::lock_guard lock(m_mutex);
    m_leftBehind = m_leftBehind || !startUpEnded || !workerEnded;
    return !m_leftBehind;
}

void EngineThreads::reopen()
{
    std::lock_guard lock(m_mutex);
    m_stopped = false;
    m_leftBehind = false;
}

} // namespace brg
