#pragma once
// What the variables under test queued on the two sending channels and the two PSX queues, and
// what an information variable sends for the PSX words it reads.
#include "app/process_state.h"
#include "net/channel.h"
#include "net/hand_over_queues.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"
#include "vars/var.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace brg {

inline void PrintTo(const ChannelElement& e, std::ostream* os) { *os << "(" << e.number << ", " << e.value << ")"; }

namespace test {

using Elements = std::vector<ChannelElement>;
using Texts = std::vector<std::pair<std::uint32_t, std::string>>;
using Steps = std::vector<std::pair<std::uint32_t, std::int32_t>>;

inline Elements psxSent() { return g_ToPSXClient->queuedElements(); }
inline Elements siocSent() { return g_ToSIOCClient->queuedElements(); }

template <typename T> std::vector<T> drain(LockedQueue<T>& queue)
{
    std::vector<T> out;
    while (auto entry = queue.tryPop())
        out.push_back(*entry);
    return out;
}
inline Texts psxTexts() { return drain(g_psxStringQueue); }
inline Steps psxSteps() { return drain(g_psxValueQueue); }

// Sets a PSX word; unless `expect` is kSetOnly, refreshes the variable and compares what it sent
// (-1: nothing).
constexpr std::int64_t kSetOnly = -2;
struct WordStep {
    std::uint32_t code;
    std::uint32_t word;
    std::int64_t expect = kSetOnly;
};
inline void expectSteps(Var& var, const std::vector<WordStep>& steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        g_psxValues[steps[i].code] = steps[i].word;
        if (steps[i].expect == kSetOnly)
            continue;
        const std::size_t before = siocSent().size();
        var.refresh();
        const Elements sent = siocSent();
        EXPECT_EQ(sent.size() == before ? -1 : std::int64_t{sent.back().value}, steps[i].expect) << "step " << i;
    }
}

} // namespace test
} // namespace brg
