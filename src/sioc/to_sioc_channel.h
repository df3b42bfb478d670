#pragma once
#include "net/tcp_client.h"

namespace brg {

class ToSiocChannel : public TcpClient {
public:
    ToSiocChannel() : TcpClient("ToSIOC") {}
    void sendExit() override;

protected:
    void flushElement(const ChannelElement& element) override;
};

} // namespace brg
