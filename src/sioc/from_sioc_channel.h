#pragma once
#include "net/channel.h"

namespace brg {

class FromSiocChannel : public ReceivingChannel {
public:
    FromSiocChannel() : ReceivingChannel("FromSIOC") {}
    void decodeMessage(const std::string& line) override;

protected:
    void flushElement(const ChannelElement& element) override;
};

} // namespace brg
