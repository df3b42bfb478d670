#pragma once
// What the variables under test queued on the two sending channels and the two PSX queues.
#include "app/process_state.h"
#include "net/channel.h"
#include "net/hand_over_queues.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"
#include "vars/var.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brg {

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

} // namespace test
} // namespace brg
