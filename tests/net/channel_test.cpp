#include "net/channel.h"
#include "net/hand_over_queues.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace brg {
namespace {

// Records what a drain does; throws for the element whose value is `failOn`.
class RecordingChannel : public Channel {
public:
    RecordingChannel() : Channel("Recording") {}
    std::vector<ChannelElement> seen;
    int flushes = 0;
    std::int32_t failOn = -1;

protected:
    void flushElement(const ChannelElement& element) override
    {
        seen.push_back(element);
        if (element.value == failOn)
            throw std::runtime_error("flushElement");
    }
    void flush() override { ++flushes; }
};

TEST(ChannelDrain, ProcessesInQueueOrderThenFlushesOnce)
{
    RecordingChannel channel;
    channel.flushQueue(); // empty: nothing to flush
    for (std::int32_t v : {10, 20, 30})
        channel.pushElement({static_cast<std::uint32_t>(v), v});
    channel.flushQueue();
    channel.flushQueue();
    EXPECT_EQ(channel.seen, (std::vector<ChannelElement>{{10, 10}, {20, 20}, {30, 30}}));
    EXPECT_EQ(channel.flushes, 1);
}

TEST(ChannelDrain, FailureKeepsTheFailingElementAndThoseAfterIt)
{
    RecordingChannel channel;
    channel.failOn = 2;
    for (std::int32_t v : {1, 2, 3})
        channel.pushElement({7, v});
    EXPECT_THROW(channel.flushQueue(), std::runtime_error);
    EXPECT_EQ(channel.flushes, 0);
    EXPECT_EQ(channel.queuedCount(), 2u);

    channel.failOn = -1;
    channel.seen.clear();
    channel.flushQueue();
    EXPECT_EQ(channel.seen, (std::vector<ChannelElement>{{7, 2}, {7, 3}}));
    EXPECT_EQ(channel.flushes, 1);
}

TEST(ChannelDrain, ProducersOnAnotherThreadLoseNothing)
{
    RecordingChannel channel;
    std::thread producer([&] {
        for (std::int32_t v = 0; v < 5000; ++v)
            channel.pushElement({1, v});
    });
    while (channel.seen.size() < 5000)
        channel.flushQueue();
    producer.join();
    for (std::int32_t v = 0; v < 5000; ++v)
        ASSERT_EQ(channel.seen[static_cast<std::size_t>(v)].value, v);
}

TEST(LockedQueue, FirstInFirstOut)
{
    LockedQueue<int> queue;
    queue.push(12);
    queue.push(13);
    EXPECT_EQ(queue.tryPop(), 12);
    EXPECT_EQ(queue.tryPop(), 13);
    EXPECT_FALSE(queue.tryPop());
}

} // namespace
} // namespace brg
