#pragma once
// The sending side of the SIOC link: registration, batched value lines, and the closing line.
#include "net/tcp_client.h"

#include <cstdint>
#include <set>
#include <string>

namespace brg {

class ToSiocChannel : public TcpClient {
public:
    // A line's payload is sent once it grows beyond this many characters.
    static constexpr std::size_t kBatchLimit = 4000;

    ToSiocChannel() : TcpClient("ToSIOC") {}

    // Registers the variable numbers in use, in as many "Arn.Inicio:" lines as they need.
    void sendInicio(const std::set<std::uint32_t>& numbers);
    // Sends "Arn.Fin:" at once.
    void sendExit() override;

protected:
    void flushElement(const ChannelElement& element) override;
    void flush() override;

private:
    void sendLine(const char* header, const std::string& payload);

    std::string m_respBuffer; // pending "Arn.Resp:" payload; touched only inside a drain
};

} // namespace brg
