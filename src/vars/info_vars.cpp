#include "vars/info_vars.h"

#include "config/config_items.h"
#include "vars/bcd.h"
#include "vars/decoded_values.h"
#include "vars/var_state.h"

#include <array>
#include <cstdlib>
#include <stdexcept>

namespace brg {
namespace {

constexpr std::uint32_t kLampTestBit = 0x2000;
constexpr std::uint32_t kMcpLcdCode = 2012;    // 1: the MCP has LCD windows
constexpr std::uint32_t kMcpLcdStateCode = 2036; // 0: blank, 2: lamp test
constexpr std::uint32_t kMcpVsButtonCode = 1069;
constexpr std::uint32_t kAudioPowerCode = 2175;
constexpr std::uint32_t kXpdrPowerCode = 4951;
constexpr std::int32_t kCompassBand = 6;

constexpr std::uint32_t kBlank4 = 0xAAAA;
constexpr std::uint32_t kBlank6 = 0xAAAAAA;
constexpr std::uint32_t kBlank5 = 0xAAAAA;
constexpr std::uint32_t kTest6 = 0x3888888;
constexpr std::uint32_t kDashes6 = 0xBBBBBB;
constexpr std::uint32_t kDecimalPointBit16 = 0x10000;

std::uint32_t lf_psx(std::uint32_t code) { return g_psxValues[code]; }

// Audio panel power bits in Qi175: left bit 0, centre bit 2, right bit 1.
bool lf_audioPanelPowered(std::uint32_t side)
{
    static constexpr std::array<int, 3> kShift{0, 2, 1};
    return ((lf_psx(kAudioPowerCode) >> kShift.at(side)) & 1) != 0;
}

} // namespace

void BandForwardVar::setValue(std::int32_t v)
{
    if (std::llabs(static_cast<long long>(v) - value) >= kCompassBand)
        InfoVar::setValue(v);
}

void McpDisplayVar::refresh()
{
    if (lf_psx(kMcpLcdCode) == 1) {
        const std::uint32_t state = lf_psx(kMcpLcdStateCode);
        if (state == 0 || state == 2) {
            sendIfChanged(static_cast<std::int32_t>(state == 0 ? m_blankPattern : m_testPattern));
            forgetSource(); // the next normal update sends again
            return;
        }
    }
    update(lf_psx(number));
}

bool McpDisplayVar::sourceChanged(std::uint32_t v)
{
    if (v == m_lastSource)
        return false;
    m_lastSource = v;
    return true;
}

Bcd3Var::Bcd3Var(std::string name, std::uint32_t number) : McpDisplayVar(std::move(name), number, 0xAAA, 0x888) {}

void Bcd3Var::update(std::uint32_t v)
{
    if (sourceChanged(v))
        sendIfChanged(static_cast<std::int32_t>(gf_bcd(v, 3)));
}

Bcd3DpVar::Bcd3DpVar(std::string name, std::uint32_t number) : McpDisplayVar(std::move(name), number, 0xAAA, 0x1888)
{
}

void Bcd3DpVar::update(std::uint32_t v)
{
    if (!sourceChanged(v))
        return;
    if (v > 950)
        sendIfChanged(0xAAA);
    else if (v < 401)
        sendIfChanged(static_cast<std::int32_t>(gf_bcd(v, 3)));
    else
        sendIfChanged(static_cast<std::int32_t>(gf_bcd(v, 3) + 0x1000)); // Mach: decimal point
}

Bcd5Var::Bcd5Var(std::string name, std::uint32_t number) : McpDisplayVar(std::move(name), number, kBlank5, 0x88888) {}

void Bcd5Var::update(std::uint32_t v)
{
    if (sourceChanged(v))
        sendIfChanged(v == 0 ? 0 : static_cast<std::int32_t>(gf_blank3(v) << 8));
}

Bcd4bnVar::Bcd4bnVar(std::string name, std::uint32_t number)
    : McpDisplayVar(std::move(name), number, kBlank5, 0x88888)
{
}

void Bcd4bnVar::update(std::uint32_t v)
{
    if ((lf_psx(kMcpVsButtonCode) & 0x8) == 0) {
        sendIfChanged(kBlank5);
        forgetSource();
        return;
    }
    if (!sourceChanged(v))
        return;
    const auto speed = static_cast<std::int32_t>(v);
    if (speed == 0) {
        sendIfChanged(0xA0000);
        return;
    }
    try {
        sendIfChanged(static_cast<std::int32_t>(gf_i2BCD3bn(speed) << 8));
    } catch (const std::runtime_error&) {
        // Too many digits for the window after the minus sign: show nothing new.
    }
}

void SquawkVar::refresh()
{
    const std::uint32_t p = lf_psx(number);
    if (p < 200000)
        return;
    const std::uint32_t code = p % 10000;
    sendIfChanged(static_cast<std::int32_t>(cfg::SQUAWK_AS_INT.value() ? code : gf_bcd(code, 4)));
}

void SquawkDisplayVar::refresh()
{
    if (lf_psx(kXpdrPowerCode) == 0 || g_decoded.squawkModeB) {
        sendIfChanged(kBlank4);
        return;
    }
    if (g_decoded.squawkModeP) {
        sendIfChanged(0xBBBB); // "----": PASS
        return;
    }
    if (g_decoded.squawkModeE) {
        sendIfChanged(0x8888);
        return;
    }
    const auto code = static_cast<std::int32_t>(lf_psx(number));
    const auto c = static_cast<std::uint32_t>(code);
    std::uint32_t shown = 0;
    if (code < 0)
        shown = kBlank4;
    else if (code == 0) {
        // A typed leading 0: as many zeros as digits typed, the rest blank.
        switch (g_decoded.squawkDigitCount.load()) {
        case 1: shown = 0xAAA; break;
        case 2: shown = 0xAA; break;
        case 3: shown = 0xA; break;
        default: shown = 0; break;
        }
    } else if (code < 10)
        shown = c * 0x1000 + 0xAAA;
    else if (code < 100)
        shown = gf_bcd(c, 2) * 0x100 + 0xAA;
    else if (code < 1000)
        shown = gf_bcd(c, 3) * 0x10 + 0xA;
    else
        shown = gf_bcd(c, 4);
    sendIfChanged(static_cast<std::int32_t>(shown));
}

void FlagVar::refresh() { sendIfChanged(g_decoded.squawkFlagL ? 1 : 0); }

void ClockVar::refresh()
{
    if (lf_psx(powerCode) == 0) {
        sendIfChanged(kBlank4);
        m_lastSource = kNoSource;
        return;
    }
    const std::uint32_t v = lf_psx(number);
    if (v == m_lastSource)
        return;
    m_lastSource = v;
    sendIfChanged(static_cast<std::int32_t>(gf_bcd(v, 4)));
}

std::string ClockVar::description() const
{
    switch (number) {
    case 3130:
    case 3134: return "BCD4 MMDD";
    case 3131:
    case 3135: return "BCD4 YEAR";
    default: return "BCD4 HHMM";
    }
}

void ChronoVar::refresh()
{
    if (lf_psx(powerCode) == 0) {
        sendIfChanged(kBlank4);
        return;
    }
    const std::uint32_t side = psxCode == 126 ? 0 : 1;
    if (lf_psx(2124 + side) != 0) {
        // The running chronograph: minutes, from the first hour on hours and minutes.
        const auto seconds = static_cast<std::int32_t>(lf_psx(3128 + side));
        const std::int32_t shown = (seconds / 3600) * 100 + (seconds / 60) % 60;
        std::uint32_t packed = gf_blankLeadingZeros(gf_bcd(static_cast<std::uint32_t>(shown), 4), 4);
        if (seconds >= 3600)
            packed += kDecimalPointBit16;
        sendIfChanged(static_cast<std::int32_t>(packed));
        return;
    }
    const bool blanked = side == 0 ? g_decoded.elapsedZero126.load() : g_decoded.elapsedZero127.load();
    if (blanked) {
        sendIfChanged(kBlank4);
        return;
    }
    // 64 bits: a garbage minute count near the int32 limits must not overflow; the display
    // keeps only the last four digits anyway.
    const auto minutes = static_cast<std::int64_t>(static_cast<std::int32_t>(lf_psx(3126 + side)));
    const std::int64_t hhmm = minutes + (minutes / 60) * 40;
    sendIfChanged(static_cast<std::int32_t>(gf_bcd(static_cast<std::uint32_t>(hhmm), 4) + kDecimalPointBit16));
}

void RadioFreqVar::refresh()
{
    if (lf_psx(powerCode) == 0) {
        sendIfChanged(kBlank6);
        return;
    }
    const std::uint32_t mode = lf_psx(modeCode);
    const std::uint32_t frequency = lf_psx(number);
    std::uint32_t shown = kBlank6;
    if (mode & (1u << 12))
        shown = kBlank6;
    else if (mode & (1u << 13))
        shown = kTest6;
    else if (mode & ((1u << 7) | (1u << 8)))
        shown = kDashes6;
    else if (frequency == 0)
        shown = kBlank6;
    else if (mode & 0x7) // a VHF radio
        shown = gf_bcd(frequency, 6) + (1u << 24);
    else if (mode & ((1u << 3) | (1u << 5))) // an HF radio
        shown = gf_blankLeadingZeros(gf_bcd(frequency, 6), 6) + (1u << 25);
    sendIfChanged(static_cast<std::int32_t>(shown));
}

void GatedValueVar::refresh()
{
    const std::uint32_t selection = lf_psx(2106 + side);
    if (selection & kLampTestBit)
        sendIfChanged(1);
    else if (lf_audioPanelPowered(side))
        sendIfChanged(static_cast<std::int32_t>(lf_psx(psxCode)));
    else
        sendIfChanged(0);
}

void AudioBitsVar::refresh()
{
    if (!lf_audioPanelPowered(side)) {
        sendIfChanged(0);
        return;
    }
    const std::uint32_t bits = lf_psx(number);
    sendIfChanged(bits & kLampTestBit ? 8191 : static_cast<std::int32_t>(bits));
}

void AudioSelectVar::refresh()
{
    static constexpr std::array<std::uint32_t, 3> kPowerCode{4926, 4933, 4927};
    static constexpr std::array<std::uint32_t, 3> kSelectCode{2109, 2110, 2111};
    const auto power = static_cast<std::int32_t>(lf_psx(kPowerCode.at(side)));
    if (lf_psx(kSelectCode.at(side)) & kLampTestBit)
        sendIfChanged(1023);
    else if (power > 0)
        sendIfChanged(static_cast<std::int32_t>(lf_psx(number)));
    else
        sendIfChanged(0);
}

} // namespace brg
