#pragma once
// The sending side of the PSX link: turns variable values into Qs/Qh/Qi lines, merging the bits
// that SIOC owns into the packed Qh words, and sends them in batches.
#include "net/tcp_client.h"

#include <atomic>
#include <cstdint>
#include <set>
#include <string>

namespace brg {

// PSX's main server port: 10747 for users, who cannot change it. Tests move it so that runs on
// one machine do not compete for the port.
extern std::atomic<std::uint16_t> g_psxPort;

class ToPsxChannel : public TcpClient {
public:
    // The batch is sent once it grows beyond this many characters.
    static constexpr std::size_t kBatchLimit = 4000;

    ToPsxChannel();

    // Appends one Qh line (n is the Qh number, not the variable number).
    void sendQh(std::uint32_t n, std::int32_t value);
    // These go out at once, past the batch.
    void sendExit() override;
    void sendDemandQi(std::uint32_t n);
    void sendDemandQs(std::uint32_t n);

    // Qh variables whose bit 0 comes from SIOC while PSX keeps the other bits.
    const std::set<std::uint32_t> qhBit0Set;
    // The fire handles, whose bits 1 to 4 and 6 PSX keeps.
    const std::set<std::uint32_t> fireSwitchSet{1275, 1276, 1277, 1278, 1279};

protected:
    void flushElement(const ChannelElement& element) override;
    void flush() override;

private:
    void appendLine(const std::string& line);
    void sendMerged(std::uint32_t v, std::uint32_t keptMask, std::int32_t value);
    // Pseudo variable 1998: which CDU the window shows; nothing goes to PSX.
    void selectCduScreen(std::int32_t value);

    std::string m_outBuffer; // pending lines; touched only inside a drain
};

} // namespace brg
