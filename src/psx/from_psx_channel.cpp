#include "psx/from_psx_channel.h"

#include "base/display.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "base/str2int32.h"
#include "config/config_items.h"
#include "config/selection_lists.h"
#include "monitor/variable_monitor.h"
#include "psx/compound_decoders.h"
#include "psx/psx_line.h"
#include "vars/var_pool.h"
#include "vars/var_state.h"

#include <fmt/format.h>

#include <array>
#include <stdexcept>

namespace brg {

namespace {

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

// Text Vars that PSX's value reaches only through the Var itself.
void lf_storeAndSend(const FromPsxChannel& channel, std::uint32_t n, std::string_view value)
{
    Var* var = channel.boundVar(n);
    if (!var)
        return;
    g_qsStrings.set(n, std::string(value));
    var->sendToPsx();
}

// A CDU's fourteen lines of one kind from Qs `first` on; kept for when the user selects that CDU.
template <void (Display::*Paint)(std::uint32_t, std::uint32_t, const std::string&)>
void lf_cduLine(std::uint32_t first, std::uint32_t n, std::string_view value)
{
    g_qsStrings.set(n, std::string(value));
    const std::uint32_t cdu = (n - first) / 14;
    if (lf_cduShown(cdu))
        ((*g_display).*Paint)(cdu, n - first - 14 * cdu, std::string(value));
}

// Variables whose binding switches a decoder flag on; empty by default.
struct VarRange {
    std::uint32_t first = 1;
    std::uint32_t last = 0;
};
using VarRanges = std::array<VarRange, 3>;

using QsDecode = void (*)(FromPsxChannel& channel, std::string_view value, std::uint32_t n);

// One Qs number or range and what it feeds. A row with a flag is decoded only while one of its
// sources is bound; a row without one (Count) always.
struct QsRow {
    std::uint32_t first;
    std::uint32_t last;
    QsDecode decode;
    DecoderFlag flag = DecoderFlag::Count;
    VarRanges sources{};
};

using C = FromPsxChannel;
using F = DecoderFlag;
using V = std::string_view;
using N = std::uint32_t;

constexpr QsRow kQsRows[] = {
    {4, 61, [](C& c, V v, N n) { lf_storeAndSend(c, n, v); }},
    {104, 105, [](C& c, V v, N n) { lf_storeAndSend(c, n, v); }},
    {109, 111, [](C& c, V v, N n) { lf_storeAndSend(c, n, v); }},
    {113, 115, [](C& c, V v, N n) { lf_storeAndSend(c, n, v); }},
    {117, 117, [](C& c, V v, N n) { lf_storeAndSend(c, n, v); }},
    {62, 103, [](C&, V v, N n) { lf_cduLine<&Display::cduLargeLine>(62, n, v); }},
    {500, 541, [](C&, V v, N n) { if (cfg::LCD_CDU.value()) lf_cduLine<&Display::cduColourLine>(500, n, v); }},
    {137, 320, [](C& c, V v, N n) { if (c.isBound(5100 + n)) g_qsStrings.set(n, std::string(v)); }},
    {106, 106, [](C& c, V v, N) { psx::decodeRadioPanel(c, v, 0); }, F::Qs106, {{{2092, 2092}, {5631, 5644}}}},
    {107, 107, [](C& c, V v, N) { psx::decodeRadioPanel(c, v, 1); }, F::Qs107, {{{2093, 2093}, {5651, 5664}}}},
    {108, 108, [](C& c, V v, N) { psx::decodeRadioPanel(c, v, 2); }, F::Qs108, {{{2094, 2094}, {5671, 5684}}}},
    {112, 112, [](C& c, V v, N) { psx::decodeQsn(c, v, 3006, 5); }},
    {118, 118, [](C& c, V v, N) { psx::decodeTransponder(c, v); }, F::Qs118, {{{3028, 3028}, {3055, 3055}, {2204, 2204}}}},
    {120, 120, [](C& c, V v, N) { psx::decodeFlightControls(c, v); }, F::Qs120, {{{3708, 3710}, {4743, 4745}}}},
    {121, 121, [](C& c, V v, N) { psx::decodeAttitude(c, v); }, F::Qs121, {{{4880, 4886}}}},
    {124, 124, [](C& c, V v, N) { psx::decodeClock(c, v, 3124, 3130, 3131); }, F::Qs124, {{{3124, 3124}, {3130, 3131}}}},
    {125, 125, [](C& c, V v, N) { psx::decodeClock(c, v, 3125, 3134, 3135); }, F::Qs125, {{{3125, 3125}, {3134, 3135}}}},
    {126, 126, [](C& c, V v, N) { psx::decodeElapsed(c, v, 3126, true); }, F::Qs126, {{{3126, 3126}}}},
    {127, 127, [](C& c, V v, N) { psx::decodeElapsed(c, v, 3127, false); }, F::Qs127, {{{3127, 3127}}}},
    {128, 128, [](C& c, V v, N) { psx::decodeChronograph(c, v, 3128); }, F::Qs128, {{{3128, 3128}}}},
    {129, 129, [](C& c, V v, N) { psx::decodeChronograph(c, v, 3129); }, F::Qs129, {{{3129, 3129}}}},
    {321, 321, [](C& c, V v, N) { psx::decodeQsn(c, v, 4996, 4); }, F::Qs321, {{{4997, 4999}}}},
    {323, 323, [](C& c, V v, N) { psx::decodeQsn(c, v, 4920, 16); }},
    {324, 324, [](C& c, V v, N) { psx::decodeQsn(c, v, 4936, 22); }},
    {328, 328, [](C& c, V v, N) { psx::decodeQsn(c, v, 5421, 24); }, F::Qs328, {{{5421, 5444}}}},
    {329, 329, [](C& c, V v, N) { psx::decodeQsn(c, v, 5445, 24); }, F::Qs329, {{{5445, 5468}}}},
    {330, 330, [](C& c, V v, N) { psx::decodeQsn(c, v, 5469, 24); }, F::Qs330, {{{5469, 5492}}}},
    {331, 331, [](C& c, V v, N) { psx::decodeQsn(c, v, 5493, 24); }, F::Qs331, {{{5493, 5516}}}},
    {332, 332, [](C& c, V v, N) { psx::decodeQsn(c, v, 5517, 24); }, F::Qs332, {{{5517, 5540}}}},
    {333, 333, [](C& c, V v, N) { psx::decodeQsn(c, v, 5541, 24); }, F::Qs333, {{{5541, 5564}}}},
    {334, 334, [](C& c, V v, N) { psx::decodeQsn(c, v, 5565, 24); }, F::Qs334, {{{5565, 5588}}}},
    {335, 335, [](C& c, V v, N) { psx::decodeQsn(c, v, 5589, 24); }, F::Qs335, {{{5589, 5612}}}},
    {357, 357, [](C& c, V v, N) { psx::decodeBrakes(c, v); }, F::Qs357, {{{3711, 3712}, {4746, 4747}}}},
    {428, 428, [](C& c, V v, N) { psx::decodeQsn(c, v, 3428, 3); }, F::Qs428, {{{3428, 3430}}}},
    {429, 429, [](C& c, V v, N) { psx::decodeQsn(c, v, 5624, 7); }, F::Qs429, {{{5624, 5630}}}},
    {431, 431, [](C& c, V v, N) { psx::decodeQsn(c, v, 4730, 3); }, F::Qs431, {{{4730, 4732}}}},
    // PSX writes the cabin temperatures as "target,actual" pairs between the ";".
    {432, 432, [](C& c, V v, N) { psx::decodeQsn(c, v, 4890, 27, ";,"); }, F::Qs432, {{{4890, 4916}}}},
    {434, 434, [](C& c, V v, N) { psx::decodeQs434(c, v); }, F::Qs434, {{{3434, 3434}, {436, 436}, {4735, 4739}}}},
    {436, 436, [](C& c, V v, N) {
         if (Var* var = c.boundVar(436); var && c.qs436Mode() == 0)
             var->sendToPsx();
         if (c.qs436Mode() == 1 && c.decoderFlag(F::Qs436Levers))
             psx::decodeThrustLevers(c, v);
     }},
    {438, 438, [](C& c, V v, N) { psx::decodeTanks(c, v); }, F::Qs438, {{{5613, 5623}}}},
    {448, 448, [](C& c, V v, N) { psx::decodePair(c, v, 5685); }, F::Qs448, {{{5685, 5686}}}},
    {449, 449, [](C& c, V v, N) { psx::decodePair(c, v, 5687); }, F::Qs449, {{{5687, 5688}}}},
    {457, 457, [](C& c, V v, N) { psx::decodeCallPanel(c, v); }, F::Qs457, {{{4887, 4887}}}},
    {458, 458, [](C& c, V v, N) { psx::decodeFrequencyPair(c, v, 3022, 3023); }, F::Qs458, {{{3022, 3023}}}},
    {459, 459, [](C& c, V v, N) { psx::decodeFrequencyPair(c, v, 3024, 3025); }, F::Qs459, {{{3024, 3025}}}},
    {460, 460, [](C& c, V v, N) { psx::decodeFrequencyPair(c, v, 3026, 3027); }, F::Qs460, {{{3026, 3027}}}},
    {480, 480, [](C& c, V v, N) { psx::decodeQs480(c, v); }},
    {483, 483, [](C& c, V v, N) { psx::decodeQsn(c, v, 4990, 6); }},
};

// Flags that gate part of a decoder or a Qi forward rather than a whole Qs row.
struct InnerFlag {
    DecoderFlag flag;
    std::array<VarRange, 4> sources;
};

constexpr InnerFlag kInnerFlags[] = {
    {F::Qs120SharedFields, {{{3708, 3710}}}},
    {F::Qs357SharedFields, {{{3711, 3712}}}},
    {F::Qs436Levers, {{{4735, 4739}}}},
    {F::Qi98To104, {{{3720, 3740}}}},
    {F::Qi175, {{{2098, 2104}, {2106, 2107}, {2109, 2109}, {3720, 3740}}}},
};

constexpr std::uint32_t kQsNumbers = 542;

// Row index per Qs number, so a line finds its row without a search; kNoRow where none.
constexpr std::uint8_t kNoRow = 0xff;
constexpr std::array<std::uint8_t, kQsNumbers> kQsRowOf = [] {
    std::array<std::uint8_t, kQsNumbers> index{};
    index.fill(kNoRow);
    for (std::size_t row = 0; row < std::size(kQsRows); ++row)
        for (std::uint32_t n = kQsRows[row].first; n <= kQsRows[row].last; ++n)
            index[n] = static_cast<std::uint8_t>(row);
    return index;
}();
static_assert(std::size(kQsRows) < kNoRow);

} // namespace

FromPsxChannel::FromPsxChannel() : ReceivingChannel("FromPSX"), m_varTable(kVarCount) {}

void FromPsxChannel::initInicio(const std::set<std::uint32_t>& numbers) { initInicio(numbers, vars::getVar); }

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
    const auto anyBound = [this](const auto& ranges) {
        for (const VarRange& range : ranges)
            for (std::uint32_t n = range.first; n <= range.last; ++n)
                if (isBound(n))
                    return true;
        return false;
    };
    const auto setIfAnyBound = [&](DecoderFlag flag, const auto& ranges) {
        if (flag != DecoderFlag::Count && anyBound(ranges))
            m_decoderFlags.set(static_cast<std::size_t>(flag));
    };
    m_decoderFlags.reset();
    for (const QsRow& row : kQsRows)
        setIfAnyBound(row.flag, row.sources);
    for (const InnerFlag& inner : kInnerFlags)
        setIfAnyBound(inner.flag, inner.sources);

    m_demands = {};
    for (std::uint32_t qi : {211u, 214u, 271u, 273u, 274u})
        if (isBound(2000 + qi))
            m_demands.qi.push_back(qi);
    if (anyBound(VarRanges{{{4980, 4989}}}))
        m_demands.qs.push_back(480);
    if (anyBound(VarRanges{{{4990, 4995}}}))
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
    const auto n = static_cast<std::uint32_t>(base::str2int32(q->number));
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
    pushElement({static_cast<std::uint32_t>(v), base::str2int32(value)});
}

void FromPsxChannel::decodeQi(std::uint32_t n, std::string_view value)
{
    const std::int32_t converted = base::str2int32(value);
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

void FromPsxChannel::decodeQs(std::uint32_t n, std::string_view value)
{
    if (n >= kQsNumbers || kQsRowOf[n] == kNoRow)
        return;
    const QsRow& row = kQsRows[kQsRowOf[n]];
    if (row.flag == DecoderFlag::Count || decoderFlag(row.flag))
        row.decode(*this, value, n);
}

void FromPsxChannel::flushElement(const ChannelElement& element)
{
    const std::uint32_t v = element.number;
    if (v >= kVarCount)
        throw std::out_of_range("invalid array<T, N> subscript");
    g_variableMonitor.recordPsx(v, element.value);
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
