#pragma once
#include "net/channel.h"

#include <cstdint>
#include <set>
#include <vector>

namespace brg {

// What the bridge asks PSX for after synchronisation, in sending order: "demand=Qi{}" for each
// number of qi, then "demand=Qs{}" for each number of qs.
struct PsxDemands {
    std::vector<std::uint32_t> qi;
    std::vector<std::uint32_t> qs;
};

class FromPsxChannel : public ReceivingChannel {
public:
    FromPsxChannel() : ReceivingChannel("FromPSX") {}
    void decodeMessage(const std::string& line) override;
    // Binds the variables of the PSX side and sets the demands for those in use.
    void initInicio(const std::set<std::uint32_t>& numbers);
    const PsxDemands& demands() const { return m_demands; }

protected:
    void flushElement(const ChannelElement& element) override;

private:
    PsxDemands m_demands;
};

} // namespace brg
