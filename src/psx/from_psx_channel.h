#pragma once
// g_FromPSXClient: decodes the lines the PSX main server sends into (variable number, value)
// elements and applies them on the worker thread.
#include "net/channel.h"
#include "psx/thrust_lever_trend.h"
#include "vars/var.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brg {

// Which compound decoders and special Qi forwards have a variable to feed; set by initInicio.
enum class DecoderFlag : std::size_t {
    Qs106, Qs107, Qs108,
    Qs118,
    Qs120, Qs120SharedFields,
    Qs121,
    Qs124, Qs125, Qs126, Qs127, Qs128, Qs129,
    Qs321,
    Qs328, Qs329, Qs330, Qs331, Qs332, Qs333, Qs334, Qs335,
    Qs357, Qs357SharedFields,
    Qs428, Qs429, Qs431, Qs432, Qs434,
    Qs436Levers,
    Qs438,
    Qs448, Qs449,
    Qs457,
    Qs458, Qs459, Qs460,
    Qi98To104, Qi175,
    Count
};

// What the bridge asks PSX for after synchronisation, in sending order: "demand=Qi{}" for each
// number of qi, then "demand=Qs{}" for each number of qs.
struct PsxDemands {
    std::vector<std::uint32_t> qi;
    std::vector<std::uint32_t> qs;
};

// PSX's version text from its "version=" line; written and painted on the main thread.
extern std::string g_psxVersion;
// Set when a *_DOMINANT key leaves some Qh values to PSX (g_FromPSXClient's initInicio).
extern std::atomic<bool> g_dominanceFilter;

class FromPsxChannel : public ReceivingChannel {
public:
    using VarLookup = std::function<std::shared_ptr<Var>(Qcode)>;

    FromPsxChannel();

    // Binds the variables of `numbers` (ascending) through `lookup`; a number without a Var
    // throws std::runtime_error "initInicio". Then computes the decoder and demand flags and
    // g_dominanceFilter, and forgets the last thrust lever trend.
    void initInicio(const std::set<std::uint32_t>& numbers, const VarLookup& lookup);
    void initInicio(const std::set<std::uint32_t>& numbers);

    // One received line, its line end included. Exceptions are logged and rethrown.
    void decodeMessage(const std::string& line) override;

    // The bound Var of a number, or nullptr (also for numbers of 5689 and more).
    Var* boundVar(std::uint64_t number) const
    {
        return number < m_varTable.size() ? m_varTable[static_cast<std::size_t>(number)].get() : nullptr;
    }
    bool isBound(std::uint64_t number) const { return boundVar(number) != nullptr; }
    bool decoderFlag(DecoderFlag flag) const { return m_decoderFlags.test(static_cast<std::size_t>(flag)); }
    const PsxDemands& demands() const { return m_demands; }

    // How Qs436 is read: 0 as text for Var 436, 1 as thrust lever positions (follows Qs434).
    std::uint32_t qs436Mode() const { return m_qs436Mode; }
    void setQs436Mode(std::uint32_t mode) { m_qs436Mode = mode; }
    ThrustLeverTrend& thrustLeverTrend() { return m_thrustLeverTrend; }

protected:
    void flushElement(const ChannelElement& element) override;

private:
    void decodeContent(std::string_view content);
    void decodeNonQ(std::string_view content);
    void decodeQh(std::uint32_t n, std::string_view value);
    void decodeQi(std::uint32_t n, std::string_view value);
    void decodeQs(std::uint32_t n, std::string_view value);
    void computeFlags();

    std::vector<std::shared_ptr<Var>> m_varTable;
    std::bitset<static_cast<std::size_t>(DecoderFlag::Count)> m_decoderFlags;
    PsxDemands m_demands;
    std::uint32_t m_qs436Mode = 0;
    ThrustLeverTrend m_thrustLeverTrend;
};

} // namespace brg
