#include "platform/posix/main_loop_posix.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace brg {
namespace {

// Message 0 only wakes the loop; posted messages are never 0.
constexpr std::uint32_t kWakeOnly = 0;

void lf_writeMessage(int fd, std::uint32_t message)
{
    // A 4-byte write to a pipe is atomic, so posts from several threads never interleave.
    while (::write(fd, &message, sizeof message) < 0 && errno == EINTR) {
    }
}

} // namespace

PosixMainLoop::PosixMainLoop(Handler handler) : m_handler(std::move(handler))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("PosixMainLoop: cannot create the wake-up pipe");
    m_pipeRead = fds[0];
    m_pipeWrite = fds[1];
    // Only the reading end is non-blocking: a post must never be dropped.
    ::fcntl(m_pipeRead, F_SETFL, ::fcntl(m_pipeRead, F_GETFL) | O_NONBLOCK);
}

PosixMainLoop::~PosixMainLoop()
{
    std::vector<std::shared_ptr<PollSource>> sources;
    {
        std::lock_guard lock(m_mutex);
        sources.swap(m_sources);
    }
    for (const auto& source : sources)
        source->loopGone();
    ::close(m_pipeRead);
    ::close(m_pipeWrite);
}

void PosixMainLoop::post(std::uint32_t message)
{
    lf_writeMessage(m_pipeWrite, message);
}

void PosixMainLoop::postAfter(std::chrono::milliseconds delay, std::uint32_t message)
{
    {
        std::lock_guard lock(m_mutex);
        m_timers[message] = std::chrono::steady_clock::now() + delay;
    }
    wake(); // poll() must wait no longer than the new timer
}

void PosixMainLoop::quit()
{
    m_quit = true;
    wake();
}

void PosixMainLoop::wake()
{
    if (!m_wakePending.exchange(true))
        lf_writeMessage(m_pipeWrite, kWakeOnly);
}

void PosixMainLoop::addSource(std::shared_ptr<PollSource> source)
{
    {
        std::lock_guard lock(m_mutex);
        m_sources.push_back(std::move(source));
    }
    wake();
}

void PosixMainLoop::removeSource(const PollSource* source)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_sources, [source](const auto& s) { return s.get() == source; });
}

void PosixMainLoop::notify(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({message, wParam, lParam});
    }
    wake();
}

void PosixMainLoop::discard(std::uintptr_t wParam)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_queue, [wParam](const Notification& n) { return n.wParam == wParam; });
}

void PosixMainLoop::run()
{
    while (!m_quit) {
        deliverQueued();
        if (m_quit)
            break;
        deliverDue();
        if (m_quit)
            break;
        pollSources();
    }
    m_quit = false;
}

void PosixMainLoop::deliverQueued()
{
    // Only what is queued now: a handler that keeps queueing must not starve the poll.
    std::size_t count = 0;
    {
        std::lock_guard lock(m_mutex);
        count = m_queue.size();
    }
    while (count-- > 0 && !m_quit) {
        Notification n{};
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty())
                return; // a socket closed by the handler took its notifications along
            n = m_queue.front();
            m_queue.pop_front();
        }
        m_handler(n.message, n.wParam, n.lParam);
    }
}

void PosixMainLoop::deliverPosted()
{
    std::array<std::uint32_t, 256> messages{};
    while (!m_quit) {
        const ssize_t n = ::read(m_pipeRead, messages.data(), sizeof messages);
        if (n <= 0)
            return;
        m_wakePending = false;
        // Whole messages only: every write was one atomic message.
        for (std::size_t i = 0; i < static_cast<std::size_t>(n) / sizeof(std::uint32_t); ++i) {
            if (messages[i] != kWakeOnly)
                m_handler(messages[i], 0, 0);
        }
    }
}

void PosixMainLoop::deliverDue()
{
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::uint32_t>> due;
    {
        std::lock_guard lock(m_mutex);
        const auto now = std::chrono::steady_clock::now();
        for (auto timer = m_timers.begin(); timer != m_timers.end();) {
            if (timer->second > now) {
                ++timer;
                continue;
            }
            due.emplace_back(timer->second, timer->first);
            timer = m_timers.erase(timer);
        }
    }
    std::sort(due.begin(), due.end());
    for (const auto& [when, message] : due) {
        if (m_quit)
            return;
        m_handler(message, 0, 0);
    }
}

void PosixMainLoop::pollSources()
{
    std::vector<std::shared_ptr<PollSource>> sources;
    int timeout = -1; // no timer: wait for a descriptor or a post
    {
        std::lock_guard lock(m_mutex);
        if (!m_queue.empty())
            return;
        sources = m_sources;
        if (!m_timers.empty()) {
            auto next = m_timers.begin()->second;
            for (const auto& [message, when] : m_timers)
                next = std::min(next, when);
            // Rounded up, so that the loop never wakes just before a timer is due.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60'000));
        }
    }
    std::vector<pollfd> fds{{m_pipeRead, POLLIN, 0}};
    std::vector<PollSource*> polled;
    for (const auto& source : sources) {
        const pollfd request = source->pollRequest();
        if (request.events == 0)
            continue;
        fds.push_back(request);
        polled.push_back(source.get());
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0)
        return; // EINTR: go round again
    for (std::size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents != 0)
            polled[i - 1]->onReady(fds[i].revents);
    if (fds[0].revents != 0)
        deliverPosted();
}

} // namespace brg
