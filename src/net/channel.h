#pragma once
// The queue-bearing base of the four link objects. Receiving channels are filled on the main
// thread and drained on the worker; sending channels are filled and drained on the worker.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace brg {

struct ChannelElement {
    std::uint32_t number = 0; // variable number
    std::int32_t value = 0;
    friend bool operator==(const ChannelElement&, const ChannelElement&) = default;
};

class Channel {
public:
    explicit Channel(std::string name) : name(std::move(name)) {}
    virtual ~Channel() = default;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    void pushElement(ChannelElement element);

    // Processes every queued element, oldest first, then calls flush() once. When flushElement
    // throws, the elements before the failing one are removed, the failing one and those after it
    // stay queued, flush() is not called and the exception propagates.
    void flushQueue();

    // Drops every queued element without processing it.
    void discardQueue();

    std::size_t queuedCount() const;
    // A copy of the queued elements, oldest first (for diagnostics and tests).
    std::vector<ChannelElement> queuedElements() const;

    const std::string name;

protected:
    virtual void flushElement(const ChannelElement& element) = 0;
    virtual void flush() {}

private:
    std::deque<ChannelElement> m_queue;
    mutable std::mutex m_queueMutex; // held for a whole drain; not recursive
};

class TcpClient;

// The receiving side of a server link: decodes the lines its TcpClient delivers.
class ReceivingChannel : public Channel {
public:
    using Channel::Channel;

    // Called with every complete received line, its line feed included.
    virtual void decodeMessage(const std::string& line) = 0;

    // The sending object of the same server (keep-alive answers go back through it). Weak, as
    // the sending object holds this one as the receiver of its lines.
    std::weak_ptr<TcpClient> peer;
};

} // namespace brg
