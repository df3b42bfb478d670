#include "sioc/from_sioc_channel.h"

#include <stdexcept>

namespace brg {

// Skeleton until the protocol is built.
void FromSiocChannel::decodeMessage(const std::string&) { throw std::logic_error("FromSiocChannel::decodeMessage"); }
void FromSiocChannel::flushElement(const ChannelElement&) { throw std::logic_error("FromSiocChannel::flushElement"); }

} // namespace brg
