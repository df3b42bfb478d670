#include "vars/light_vars.h"

#include "vars/decoded_values.h"
#include "vars/var_state.h"

namespace brg {
namespace {

constexpr std::uint32_t kDimRelayK4a = 4928;
constexpr std::uint32_t kDimRelayK6b = 4931;
constexpr std::uint32_t kDimRelayK2b = 4927;
constexpr std::uint32_t kNonDimC614 = 4921;
constexpr std::uint32_t kFirstRadioPanel = 2092;

constexpr std::uint32_t bit(int n) { return 1u << n; }

// The states of one PSX light word.
struct Word {
    std::uint32_t v;
    bool b(int n) const { return (v & bit(n)) != 0; }
    bool test() const { return b(13); }
};

bool lf_powered(std::uint32_t code) { return g_psxValues[code] >= 1; }

} // namespace

void LightVar::refresh() { sendIfChanged(static_cast<std::int32_t>(lightValue(g_psxValues[source]))); }

std::uint32_t LightVar3::lightValue(std::uint32_t v) const
{
    const Word w{v};
    std::uint32_t out = v;
    const bool lamp1 = !w.b(1) && (w.test() || (w.b(3) && lf_powered(kDimRelayK4a)));
    const bool lamp2 = !w.b(2) && (w.test() || (w.b(3) && lf_powered(kDimRelayK6b)));
    if (lamp1)
        out += bit(14);
    if (lamp2)
        out += bit(15);
    if (lamp1 || lamp2)
        out += bit(16);
    return out;
}

std::uint32_t LightVar3b::lightValue(std::uint32_t v) const
{
    const Word w{v};
    std::uint32_t out = v;
    if (w.test() || (w.b(0) && lf_powered(powerCode))) {
        if (!w.b(1))
            out += bit(14);
        if (!w.b(2))
            out += bit(15);
        if (!(w.b(1) && w.b(2)))
            out += bit(16);
    }
    return out;
}

std::uint32_t LightVar8::lightValue(std::uint32_t v) const
{
    const Word w{v};
    std::uint32_t out = v;
    // The lower pair of lamps (b3, b4) as bits 17 to 19.
    const auto lowerPair = [&] {
        if (!w.b(3))
            out += 0x20000;
        if (!w.b(4))
            out += 0x40000 + 0x80000;
        else if (!w.b(3))
            out += 0x80000;
    };
    if (w.test()) {
        if (!w.b(1))
            out += 16384;
        if (!w.b(2))
            out += 32768;
        if (!(w.b(1) && w.b(2)))
            out += 65536;
        lowerPair();
        return out;
    }
    if (lf_powered(powerCode1)) {
        if (w.b(0))
            out += 0x100000;
        if (w.b(7)) {
            if (!w.b(1))
                out += 16384;
            if (!w.b(2))
                out += 32768 + 65536;
            else if (!w.b(1))
                out += 65536;
        }
    }
    if (!lf_powered(powerCode2))
        return out;
    if (w.b(0))
        out += 0x200000;
    if (!w.b(8))
        return out;
    lowerPair();
    return out;
}

std::uint32_t LightVar14::lightValue(std::uint32_t v) const
{
    const Word w{v};
    return v + (!w.b(1) && (w.test() || (w.b(2) && lf_powered(powerCode))) ? bit(14) : 0);
}

std::uint32_t LightVarElt::lightValue(std::uint32_t v) const
{
    const Word w{v};
    return v + (w.test() || (w.b(3) && lf_powered(kNonDimC614)) ? bit(14) : 0);
}

std::uint32_t LightVarB::lightValue(std::uint32_t v) const
{
    const Word w{v};
    return v + (w.b(2) && lf_powered(powerCode) && !w.b(1) ? bit(3) : 0);
}

std::uint32_t LightVarSquib::lightValue(std::uint32_t v) const
{
    const Word w{v};
    return v + (w.b(2) && lf_powered(kDimRelayK2b) && !w.b(1) ? bit(3) : 0);
}

std::uint32_t LightVarEvac::lightValue(std::uint32_t v) const
{
    const Word w{v};
    return v + ((w.b(1) || w.b(2)) && lf_powered(kNonDimC614) ? bit(5) : 0);
}

std::uint32_t LightVarT::lightValue(std::uint32_t v) const
{
    const Word w{v};
    std::uint32_t out = v;
    if (!(w.b(6) && lf_powered(powerCode)))
        return out;
    for (int lamp = 1; lamp <= 4; ++lamp)
        if (!w.b(lamp))
            out += bit(10 + lamp);
    if (!(w.b(1) && w.b(2) && w.b(3) && w.b(4)))
        out += bit(15);
    return out;
}

std::uint32_t LightVarRadio::lightValue(std::uint32_t v) const
{
    const Word w{v};
    if (w.test())
        return v + 0xFC000;
    if (!lf_powered(powerCode))
        return v;
    std::uint32_t out = v;
    static constexpr int kSourceBits[] = {0, 1, 2, 3, 5, 6};
    for (int i = 0; i < 6; ++i)
        if (w.b(kSourceBits[i]))
            out += bit(14 + i);
    const std::uint32_t panel = number - kFirstRadioPanel;
    // One AM lamp: the HF radio that is selected decides whether it is lit.
    const bool am = (w.b(3) && g_decoded.rcpField12Set.at(panel)) || (w.b(5) && g_decoded.rcpField13Set.at(panel));
    if (am)
        out += bit(20);
    return out;
}

std::uint32_t LightVarCdu::lightValue(std::uint32_t v) const
{
    const Word w{v};
    if (w.test())
        return 0x7C000;
    if (!lf_powered(powerCode))
        return v;
    std::uint32_t out = v;
    for (int i = 0; i <= 4; ++i)
        if (w.b(i))
            out += bit(14 + i);
    return out;
}

} // namespace brg
