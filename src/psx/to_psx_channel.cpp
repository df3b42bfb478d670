#include "psx/to_psx_channel.h"

#include <stdexcept>

namespace brg {

// Skeleton until the protocol is built.
void ToPsxChannel::sendExit() { throw std::logic_error("ToPsxChannel::sendExit"); }
void ToPsxChannel::flushElement(const ChannelElement&) { throw std::logic_error("ToPsxChannel::flushElement"); }

} // namespace brg
