#include "psx/to_psx_channel.h"

#include "base/display.h"
#include "base/log.h"
#include "config/config_items.h"
#include "monitor/variable_monitor.h"
#include "psx/psx_line.h"
#include "vars/var_state.h"

#include <fmt/format.h>
#include <stdexcept>
#include <utility>

namespace brg {

std::atomic<std::uint16_t> g_psxPort{10747};

namespace {

std::set<std::uint32_t> lf_qhBit0Numbers()
{
    static constexpr std::pair<std::uint32_t, std::uint32_t> ranges[] = {
        {63, 75},   {114, 115}, {162, 168}, {188, 191}, {194, 212}, {216, 219}, {225, 228},
        {233, 233}, {239, 262}, {264, 264}, {266, 272}, {280, 283}, {291, 291}, {294, 295},
        {298, 299}, {309, 318}, {323, 329}, {365, 382}, {392, 395}, {417, 417},
    };
    std::set<std::uint32_t> numbers;
    for (const auto& [first, last] : ranges)
        for (std::uint32_t n = first; n <= last; ++n)
            numbers.insert(1000 + n);
    return numbers;
}

} // namespace

ToPsxChannel::ToPsxChannel() : TcpClient("ToPSX"), qhBit0Set(lf_qhBit0Numbers()) {}

void ToPsxChannel::appendLine(const std::string& line)
{
    m_outBuffer += line;
    if (m_outBuffer.size() > kBatchLimit)
        flush();
}

void ToPsxChannel::sendQh(std::uint32_t n, std::int32_t value) { appendLine(fmt::format("Qh{}={}\r\n", n, value)); }

// The kept bits are PSX's; the value is added, not OR-ed, because its bits never overlap them.
void ToPsxChannel::sendMerged(std::uint32_t v, std::uint32_t keptMask, std::int32_t value)
{
    const auto merged = static_cast<std::int32_t>((g_psxValues[v] & keptMask) + static_cast<std::uint32_t>(value));
    g_psxValues[v] = static_cast<std::uint32_t>(merged);
    g_variableMonitor.recordPsx(v, merged);
    sendQh(v - 1000, merged);
}

void ToPsxChannel::flushElement(const ChannelElement& element)
{
    const std::uint32_t v = element.number;
    if (v < 1000) {
        if (v >= kQsCount)
            throw std::out_of_range("invalid array<T, N> subscript");
        g_variableMonitor.recordPsxText(v);
        appendLine(fmt::format("Qs{}={}\r\n", v, g_qsStrings.get(v)));
    } else if (v < 2000) {
        if (qhBit0Set.contains(v))
            sendMerged(v, ~1u, element.value);
        else if (fireSwitchSet.contains(v))
            sendMerged(v, 94, element.value);
        else if (v == 1224)
            sendMerged(v, 0x2008, element.value);
        else if (v == 1424)
            sendMerged(v, 6, element.value);
        else if (v == 1998)
            selectCduScreen(element.value);
        else {
            g_variableMonitor.recordPsx(v, element.value);
            sendQh(v - 1000, element.value);
        }
    } else if (v < 3000) {
        g_variableMonitor.recordPsx(v, element.value);
        appendLine(fmt::format("Qi{}={}\r\n", v - 2000, element.value));
    } else {
        throw std::runtime_error(fmt::format("unexpected flushing of {} to PSX?", v));
    }
}

// The window's CDU choice lives in the running configuration only; the file keeps the user's.
void ToPsxChannel::selectCduScreen(std::int32_t value)
{
    cfg::CDU_L.setRunning(value == 0);
    cfg::CDU_C.setRunning(value == 1);
    cfg::CDU_R.setRunning(value == 2);
    if (g_display)
        g_display->cduSelectionChanged();
}

void ToPsxChannel::flush()
{
    if (m_outBuffer.empty())
        return;
    sendData(m_outBuffer);
    // The batch carries its own line ends.
    g_log.traceRaw(Trace::PsxOut, kPsxSendTracePrefix, m_outBuffer);
    m_outBuffer.clear();
}

void ToPsxChannel::sendExit() { sendData(std::string(kPsxExitKeyword) + "\r\n"); }

void ToPsxChannel::sendDemandQi(std::uint32_t n) { sendData(fmt::format("demand=Qi{}\r\n", n)); }

void ToPsxChannel::sendDemandQs(std::uint32_t n) { sendData(fmt::format("demand=Qs{}\r\n", n)); }

} // namespace brg
