#include "sioc/to_sioc_channel.h"

#include "base/log.h"
#include "monitor/variable_monitor.h"
#include "sioc/iocp_words.h"

#include <fmt/format.h>

namespace brg {

void ToSiocChannel::sendLine(const char* header, const std::string& payload)
{
    const std::string line = header + payload;
    sendData(line + "\r\n");
    g_log.trace(Trace::SiocOut, kSiocSendTracePrefix, line);
}

void ToSiocChannel::sendInicio(const std::set<std::uint32_t>& numbers)
{
    std::string payload;
    for (std::uint32_t number : numbers) {
        fmt::format_to(std::back_inserter(payload), "{}:", number);
        if (payload.size() > kBatchLimit) {
            sendLine("Arn.Inicio:", payload);
            payload.clear();
        }
    }
    if (!payload.empty())
        sendLine("Arn.Inicio:", payload);
}

void ToSiocChannel::flushElement(const ChannelElement& element)
{
    g_variableMonitor.recordSioc(element.number, element.value);
    fmt::format_to(std::back_inserter(m_respBuffer), "{}={}:", element.number, element.value);
    if (m_respBuffer.size() > kBatchLimit)
        flush();
}

void ToSiocChannel::flush()
{
    if (m_respBuffer.empty())
        return;
    sendLine("Arn.Resp:", m_respBuffer);
    m_respBuffer.clear();
}

void ToSiocChannel::sendExit()
{
    sendData("Arn.Fin:\r\n");
    g_log.trace(Trace::SiocOut, "", "Fin sent to SIOC");
}

} // namespace brg
