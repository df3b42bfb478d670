#pragma once
// What the variables under test queued on the two sending channels.
#include "app/process_state.h"
#include "net/channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"

#include <ostream>
#include <vector>

namespace brg {

inline void PrintTo(const ChannelElement& e, std::ostream* os) { *os << "(" << e.number << ", " << e.value << ")"; }

namespace test {

inline std::vector<ChannelElement> psxSent() { return ToPSXClient->queuedElements(); }
inline std::vector<ChannelElement> siocSent() { return ToSIOCClient->queuedElements(); }

} // namespace test
} // namespace brg
