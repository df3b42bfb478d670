#pragma once
#include "net/channel.h"

namespace brg {

class FromPsxChannel : public ReceivingChannel {
public:
    FromPsxChannel() : ReceivingChannel("FromPSX") {}
    void decodeMessage(const std::string& line) override;

protected:
    void flushElement(const ChannelElement& element) override;
};

} // namespace brg
