#include "sioc/to_sioc_channel.h"

#include <stdexcept>

namespace brg {

// Skeleton until the protocol is built.
void ToSiocChannel::sendExit() { throw std::logic_error("ToSiocChannel::sendExit"); }
void ToSiocChannel::flushElement(const ChannelElement&) { throw std::logic_error("ToSiocChannel::flushElement"); }

} // namespace brg
