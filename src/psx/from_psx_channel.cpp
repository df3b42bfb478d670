#include "psx/from_psx_channel.h"

#include "base/display.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "base/str2int32.h"
#include "config/config_items.h"
#include "config/selection_lists.h"
#include "psx/compound_decoders.h"
#include "psx/psx_line.h"
#include "vars/var_pool.h"
#include "vars/var_state.h"

#include <fmt/format.h>

#include <stdexcept>

namespace brg {

namespace {

// The variables whose binding switches a decoder flag on, as number ranges.
struct FlagSource {
    DecoderFlag flag;
    std::uint32_t first;
    std::uint32_t last;
};

constexpr FlagSource kFlagSources[] = {
    {DecoderFlag::Qs106, 2092, 2092},        {DecoderFlag::Qs106, 5631, 5644},
    {DecoderFlag::Qs107, 2093, 2093},        {DecoderFlag::Qs107, 5651, 5664},
    {DecoderFlag::Qs108, 2094, 2094},        {DecoderFlag::Qs108, 5671, 5684},
    {DecoderFlag::Qs118, 3028, 3028},        {DecoderFlag::Qs118, 3055, 3055},
    {DecoderFlag::Qs118, 2204, 2204},        {DecoderFlag::Qs120, 3708, 3710},
    {DecoderFlag::Qs120, 4743, 4745},        {DecoderFlag::Qs120SharedFields, 3708, 3710},
    {DecoderFlag::Qs121, 4880, 4886},        {DecoderFlag::Qs124, 3124, 3124},
    {DecoderFlag::Qs124, 3130, 3131},        {DecoderFlag::Qs125, 3125, 3125},
    {DecoderFlag::Qs125, 3134, 3135},        {DecoderFlag::Qs126, 3126, 3126},
    {DecoderFlag::Qs127, 3127, 3127},        {DecoderFlag::Qs128, 3128, 3128},
    {DecoderFlag::Qs129, 3129, 3129},        {DecoderFlag::Qs321, 4997, 4999},
    {DecoderFlag::Qs328, 5421, 5444},        {DecoderFlag::Qs329, 5445, 5468},
    {DecoderFlag::Qs330, 5469, 5492},        {DecoderFlag::Qs331, 5493, 5516},
    {DecoderFlag::Qs332, 5517, 5540},        {DecoderFlag::Qs333, 5541, 5564},
    {DecoderFlag::Qs334, 5565, 5588},        {DecoderFlag::Qs335, 5589, 5612},
    {DecoderFlag::Qs357, 3711, 3712},        {DecoderFlag::Qs357, 4746, 4747},
    {DecoderFlag::Qs357SharedFields, 3711, 3712}, {DecoderFlag::Qs428, 3428, 3430},
    {DecoderFlag::Qs429, 5624, 5630},        {DecoderFlag::Qs431, 4730, 4732},
    {DecoderFlag::Qs432, 4890, 4916},        {DecoderFlag::Qs434, 3434, 3434},
    {DecoderFlag::Qs434, 436, 436},          {DecoderFlag::Qs434, 4735, 4739},
    {DecoderFlag::Qs436Levers, 4735, 4739},  {DecoderFlag::Qs438, 5613, 5623},
    {DecoderFlag::Qs448, 5685, 5686},        {DecoderFlag::Qs449, 5687, 5688},
    {DecoderFlag::Qs457, 4887, 4887},        {DecoderFlag::Qs458, 3022, 3023},
    {DecoderFlag::Qs459, 3024, 3025},        {DecoderFlag::Qs460, 3026, 3027},
    {DecoderFlag::Qi98To104, 3720, 3740},    {DecoderFlag::Qi175, 2098, 2104},
    {DecoderFlag::Qi175, 2106, 2107},        {DecoderFlag::Qi175, 2109, 2109},
    {DecoderFlag::Qi175, 3720, 3740},
};

// The Qh switches whose positions also drive a virtual switch (4700 AutobrVirtual on 1134 …).
std::uint32_t lf_virtualSwitchOf(std::uint32_t v)
{
    switch (v) {
    case 1134: return 4700;
    case 1169: return 4701;
    case 1183: return 4742;
    case 1267: case 1268: case 1269: case 1270: return 4702 + (v - 1267);
    case 1275: case 1276: case 1277: case 1278: return 4706 + (v - 1275);
    case 1279: return 4740;
    case 1397: return 4748;
    case 1413: return 4741;
    default: return 0;
    }
}

// Qh numbers that count although neither n nor 3000 + n is bound: the sources of the virtual
// switches (397 among them, else ParkBrkLevVirtual alone would never move) and 424.
bool lf_alwaysWantedQh(std::uint32_t n)
{
    return lf_virtualSwitchOf(1000 + n) != 0 || n == 424;
}

// While its *_DOMINANT key is false, PSX's value of that Qh stands: the hardware's is not sent back.
bool lf_psxDominates(std::uint32_t v)
{
    switch (v) {
    case 1082: case 1093: return !cfg::PTT_SWITCHES_DOMINANT.value();
    case 1134: return !cfg::AUTOBRAKES_DOMINANT.value();
    case 1397: return !cfg::PARKBRKLEV_DOMINANT.value();
    case 1169: return !cfg::GEARLOCK_OVERRIDE_DOMINANT.value();
    case 1275: return !cfg::FIRE_ENG1_DOMINANT.value();
    case 1276: return !cfg::FIRE_ENG2_DOMINANT.value();
    case 1277: return !cfg::FIRE_ENG3_DOMINANT.value();
    case 1278: return !cfg::FIRE_ENG4_DOMINANT.value();
    case 1279: return !cfg::FIRE_APU_DOMINANT.value();
    case 1267: case 1268: case 1269: case 1270: return !cfg::ENG_STARTERS_DOMINANT.value();
    default: return false;
    }
}

bool lf_anyPsxDominance()
{
    for (std::uint32_t v : {1082u, 1134u, 1397u, 1169u, 1275u, 1276u, 1277u, 1278u, 1279u, 1267u})
        if (lf_psxDominates(v))
            return true;
    return false;
}

// Whether the window shows CDU 0, 1 or 2.
bool lf_cduShown(std::uint32_t cdu)
{
    switch (cdu) {
    case 0: return cfg::CDU_L.value();
    case 1: return cfg::CDU_C.value();
    default: return cfg::CDU_R.value();
    }
}

void lf_traceQLine(Trace trace, const NumberList& list, std::uint32_t n, std::string_view content)
{
    if (g_log.traceOn(trace) && gf_traceListAllows(list, n))
        g_log.write(fmt::format("{}{}", kPsxReceiveTracePrefix, content));
}

bool lf_inRange(std::uint32_t n, std::uint32_t first, std::uint32_t last) { return n >= first && n <= last; }

} // namespace

FromPsxChannel::FromPsxChannel() : ReceivingChannel("FromPSX"), m_varTable(kVarCount) {}

void FromPsxChannel::initInicio(const std::set<std::uint32_t>& numbers) { initInicio(numbers, getVar); }

void FromPsxChannel::initInicio(const std::set<std::uint32_t>& numbers, const VarLookup& lookup)
{
    for (std::uint32_t number : numbers) {
        std::shared_ptr<Var> var = number < kVarCount ? lookup(Qcode{number}) : nullptr;
        if (!var)
            throw std::runtime_error("initInicio");
        m_varTable[number] = std::move(var);
    }
    computeFlags();
    g_dominanceFilter = lf_anyPsxDominance();
    m_thrustLeverTrend.forgetLastTrend();
}

void FromPsxChannel::computeFlags()
{
    const auto anyBound = [this](const FlagSource& source) {
        for (std::uint32_t n = source.first; n <= source.last; ++n)
            if (isBound(n))
                return true;
        return false;
    };
    m_decoderFlags.reset();
    for (const FlagSource& source : kFlagSources)
        if (anyBound(source))
            m_decoderFlags.set(static_cast<std::size_t>(source.flag));

    m_demands = {};
    for (std::uint32_t qi : {211u, 214u, 271u, 273u, 274u})
        if (isBound(2000 + qi))
            m_demands.qi.push_back(qi);
    if (anyBound({DecoderFlag::Count, 4980, 4989}))
        m_demands.qs.push_back(480);
    if (anyBound({DecoderFlag::Count, 4990, 4995}))
        m_demands.qs.push_back(483);
}

void FromPsxChannel::decodeMessage(const std::string& line)
{
    if (gf_isSkippedLongLine(line))
        return;
    try {
        gf_forEachLineContent(line, [this](std::string_view content) { decodeContent(content); });
    } catch (const std::exception& e) {
        g_log.writeRaw(fmt::format("? decodeMessage {} {}\n", line, e.what()));
        throw;
    }
}

void FromPsxChannel::decodeContent(std::string_view content)
{
    if (content.front() != 'Q') {
        decodeNonQ(content);
        return;
    }
    const std::optional<QLine> q = gf_matchQLine(content);
    if (!q)
        return;
    const auto n = static_cast<std::uint32_t>(str2int32(q->number));
    switch (q->kind) {
    case 's':
        lf_traceQLine(Trace::PsxInQs, g_qsTraceList, n, content);
        decodeQs(n, q->value);
        break;
    case 'h':
        lf_traceQLine(Trace::PsxInQh, g_qhTraceList, n, content);
        decodeQh(n, q->value);
        break;
    default:
        lf_traceQLine(Trace::PsxInQi, g_qiTraceList, n, content);
        decodeQi(n, q->value);
        break;
    }
}

void FromPsxChannel::decodeNonQ(std::string_view content)
{
    g_log.trace(Trace::PsxInNonQ, kPsxReceiveTracePrefix, content);
    if (content == kPsxExitKeyword)
        throw ExitPSXReceivedException();
    if (content.front() == 'v') {
        if (const std::optional<std::string_view> version = gf_matchVersionLine(content)) {
            g_psxVersion = std::string(*version);
            g_display->repaint();
        }
    }
}

void FromPsxChannel::decodeQh(std::uint32_t n, std::string_view value)
{
    const std::uint64_t v = 1000ull + n;
    // A Qh that nothing uses is not even converted.
    if (!isBound(v) && !lf_alwaysWantedQh(n) && !isBound(3000ull + n))
        return;
    pushElement({static_cast<std::uint32_t>(v), str2int32(value)});
}

void FromPsxChannel::decodeQi(std::uint32_t n, std::string_view value)
{
    const std::int32_t converted = str2int32(value);
    const std::uint64_t v = 2000ull + n;
    bool queue = false;
    if (isBound(v))
        queue = true;
    else if (n <= 31 || n == 38 || lf_inRange(n, 179, 181))
        queue = isBound(v + 3000);
    else if (lf_inRange(n, 98, 104))
        queue = decoderFlag(DecoderFlag::Qi98To104);
    else if (n == 175)
        queue = decoderFlag(DecoderFlag::Qi175);
    // Every CDU's blank state: the window needs it when the user selects another CDU.
    if (lf_inRange(n, 89, 91))
        g_display->cduBlankState(n - 89, converted > 0);
    if (queue)
        pushElement({static_cast<std::uint32_t>(v), converted});
}

void FromPsxChannel::storeAndSend(std::uint32_t n, std::string_view value)
{
    Var* var = boundVar(n);
    if (!var)
        return;
    g_qsStrings.set(n, std::string(value));
    var->sendToPsx();
}

void FromPsxChannel::decodeQs(std::uint32_t n, std::string_view value)
{
    const auto flag = [this](DecoderFlag f) { return decoderFlag(f); };
    if (lf_inRange(n, 4, 61) || n == 104 || n == 105 || lf_inRange(n, 109, 111) || lf_inRange(n, 113, 115) ||
        n == 117) {
        storeAndSend(n, value);
    } else if (lf_inRange(n, 62, 103)) {
        g_qsStrings.set(n, std::string(value));
        const std::uint32_t cdu = (n - 62) / 14;
        if (lf_cduShown(cdu))
            g_display->cduLargeLine(cdu, n - 62 - 14 * cdu, std::string(value));
    } else if (lf_inRange(n, 106, 108)) {
        if (flag(static_cast<DecoderFlag>(static_cast<std::size_t>(DecoderFlag::Qs106) + (n - 106))))
            decodeRadioPanel(*this, value, n - 106);
    } else if (lf_inRange(n, 137, 320)) {
        if (isBound(5100 + n))
            g_qsStrings.set(n, std::string(value));
    } else if (lf_inRange(n, 328, 335)) {
        if (flag(static_cast<DecoderFlag>(static_cast<std::size_t>(DecoderFlag::Qs328) + (n - 328))))
            decodeQsn(*this, value, 5421 + 24 * (n - 328), 24);
    } else if (lf_inRange(n, 500, 541)) {
        if (!cfg::LCD_CDU.value())
            return;
        g_qsStrings.set(n, std::string(value));
        const std::uint32_t cdu = (n - 500) / 14;
        if (lf_cduShown(cdu))
            g_display->cduColourLine(cdu, n - 500 - 14 * cdu, std::string(value));
    } else {
        switch (n) {
        case 112: decodeQsn(*this, value, 3006, 5); break;
        case 118: if (flag(DecoderFlag::Qs118)) decodeTransponder(*this, value); break;
        case 120: if (flag(DecoderFlag::Qs120)) decodeFlightControls(*this, value); break;
        case 121: if (flag(DecoderFlag::Qs121)) decodeAttitude(*this, value); break;
        case 124: if (flag(DecoderFlag::Qs124)) decodeClock(*this, value, 3124, 3130, 3131); break;
        case 125: if (flag(DecoderFlag::Qs125)) decodeClock(*this, value, 3125, 3134, 3135); break;
        case 126: if (flag(DecoderFlag::Qs126)) decodeElapsed(*this, value, 3126, true); break;
        case 127: if (flag(DecoderFlag::Qs127)) decodeElapsed(*this, value, 3127, false); break;
        case 128: if (flag(DecoderFlag::Qs128)) decodeChronograph(*this, value, 3128); break;
        case 129: if (flag(DecoderFlag::Qs129)) decodeChronograph(*this, value, 3129); break;
        case 321: if (flag(DecoderFlag::Qs321)) decodeQsn(*this, value, 4996, 4); break;
        case 323: decodeQsn(*this, value, 4920, 16); break;
        case 324: decodeQsn(*this, value, 4936, 22); break;
        case 357: if (flag(DecoderFlag::Qs357)) decodeBrakes(*this, value); break;
        case 428: if (flag(DecoderFlag::Qs428)) decodeQsn(*this, value, 3428, 3); break;
        case 429: if (flag(DecoderFlag::Qs429)) decodeQsn(*this, value, 5624, 7); break;
        case 431: if (flag(DecoderFlag::Qs431)) decodeQsn(*this, value, 4730, 3); break;
        // PSX writes the cabin temperatures as "target,actual" pairs between the ";".
        case 432: if (flag(DecoderFlag::Qs432)) decodeQsn(*this, value, 4890, 27, ";,"); break;
        case 434: if (flag(DecoderFlag::Qs434)) decodeQs434(*this, value); break;
        case 436:
            if (Var* var = boundVar(436); var && m_qs436Mode == 0)
                var->sendToPsx();
            if (m_qs436Mode == 1 && flag(DecoderFlag::Qs436Levers))
                decodeThrustLevers(*this, value);
            break;
        case 438: if (flag(DecoderFlag::Qs438)) decodeTanks(*this, value); break;
        case 448: if (flag(DecoderFlag::Qs448)) decodePair(*this, value, 5685); break;
        case 449: if (flag(DecoderFlag::Qs449)) decodePair(*this, value, 5687); break;
        case 457: if (flag(DecoderFlag::Qs457)) decodeCallPanel(*this, value); break;
        case 458: if (flag(DecoderFlag::Qs458)) decodeFrequencyPair(*this, value, 3022, 3023); break;
        case 459: if (flag(DecoderFlag::Qs459)) decodeFrequencyPair(*this, value, 3024, 3025); break;
        case 460: if (flag(DecoderFlag::Qs460)) decodeFrequencyPair(*this, value, 3026, 3027); break;
        case 480: decodeQs480(*this, value); break;
        case 483: decodeQsn(*this, value, 4990, 6); break;
        default: break;
        }
    }
}

void FromPsxChannel::flushElement(const ChannelElement& element)
{
    const std::uint32_t v = element.number;
    if (v >= kVarCount)
        throw std::out_of_range("invalid array<T, N> subscript");
    g_psxValues[v] = static_cast<std::uint32_t>(element.value);
    if (lf_inRange(v, 1000, 1999)) {
        // The virtual switch follows PSX even where PSX dominates.
        const std::uint32_t virtualSwitch = lf_virtualSwitchOf(v);
        if (Var* var = virtualSwitch != 0 ? boundVar(virtualSwitch) : nullptr)
            var->setValue(element.value);
    }
    if (Var* var = boundVar(v)) {
        if (lf_inRange(v, 1000, 1999)) {
            // The CDU key pads are written by SIOC only; a PSX report needs no answer.
            const bool keyPad = lf_inRange(v, 1401, 1403);
            if (!keyPad && !(g_dominanceFilter && lf_psxDominates(v)))
                var->sendToPsx();
        } else if (!var->isPolled()) {
            var->setValue(element.value);
        }
    }
    if (lf_inRange(v, 2000, 2031) || v == 2038 || lf_inRange(v, 2179, 2181)) {
        if (Var* second = boundVar(v + 3000))
            second->sendToPsx();
    }
}

} // namespace brg
