#include "psx/from_psx_channel.h"

#include <stdexcept>

namespace brg {

// Skeleton until the protocol is built.
void FromPsxChannel::decodeMessage(const std::string&) { throw std::logic_error("FromPsxChannel::decodeMessage"); }
void FromPsxChannel::initInicio(const std::set<std::uint32_t>&) { throw std::logic_error("FromPsxChannel::initInicio"); }
void FromPsxChannel::flushElement(const ChannelElement&) { throw std::logic_error("FromPsxChannel::flushElement"); }

} // namespace brg
