#include "net/channel.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace brg {
namespace {

using Elements = std::vector<ChannelElement>;

// Records what a drain does; throws for the element whose value is `failOn`.
class RecordingChannel : public Channel {
public:
    RecordingChannel() : Channel("Recording") {}
    Elements seen;
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

// A failing element stays queued with those after it; the next drain goes on from there, in
// queue order, and flushes once. An empty queue is not flushed.
TEST(ChannelDrain, KeepsQueueOrderAndResumesAtTheFailingElement)
{
    RecordingChannel channel;
    channel.flushQueue();
    channel.failOn = 20;
    for (std::int32_t v : {10, 20, 30})
        channel.pushElement({static_cast<std::uint32_t>(v), v});
    EXPECT_THROW(channel.flushQueue(), std::runtime_error);
    EXPECT_EQ(channel.flushes, 0);
    EXPECT_EQ(channel.queuedCount(), 2u);

    channel.failOn = -1;
    channel.flushQueue();
    channel.flushQueue();
    EXPECT_EQ(channel.seen, (Elements{{10, 10}, {20, 20}, {20, 20}, {30, 30}}));
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

} // namespace
} // namespace brg
