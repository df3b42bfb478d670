#pragma once
#include "net/tcp_client.h"

namespace brg {

class ToPsxChannel : public TcpClient {
public:
    ToPsxChannel() : TcpClient("ToPSX") {}
    void sendExit() override;

protected:
    void flushElement(const ChannelElement& element) override;
};

} // namespace brg
