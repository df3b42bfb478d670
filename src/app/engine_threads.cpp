#include "app/engine_threads.h"

#include "app/process_state.h"
#include "base/log.h"

#include <utility>

namespace brg {

EngineThreads g_engineThreads;

void EngineThreads::start(std::jthread& slot, const char* name, std::function<void()> body)
{
    // Each starts once per run; were one started twice, the first is waited for, not lost.
    std::jthread previous;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopped)
            return;
        previous = std::move(slot);
        slot = std::jthread([name, body = std::move(body)] {
            try {
                body();
            } catch (...) {
                gf_logException(name);
            }
        });
    }
}

void EngineThreads::startStartUp(std::function<void()> body)
{
    start(m_startUp, "lf_startUp_as_Thread", std::move(body));
}

void EngineThreads::startWorker(std::function<void()> body)
{
    start(m_worker, "lf_syncAndProcess_as_Thread", std::move(body));
}

void EngineThreads::stopAndJoin()
{
    std::jthread startUp;
    std::jthread worker;
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        startUp = std::move(m_startUp);
        worker = std::move(m_worker);
    }
    // Normally the exit sequence has stopped the loop already.
    g_processing = false;
    for (std::jthread* thread : {&startUp, &worker})
        if (thread->joinable() && thread->get_id() == std::this_thread::get_id())
            thread->detach();
    // Both are joined here, as they go out of scope, outside the lock.
}

void EngineThreads::reopen()
{
    std::lock_guard lock(m_mutex);
    m_stopped = false;
}

} // namespace brg
