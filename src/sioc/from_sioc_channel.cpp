#include "sioc/from_sioc_channel.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/str2int32.h"
#include "monitor/variable_monitor.h"
#include "net/tcp_client.h"
#include "sioc/iocp_words.h"

#include <fmt/format.h>

#include <stdexcept>

namespace brg {

void FromSiocChannel::initInicio(const std::set<std::uint32_t>& numbers, const VarLookup& lookup)
{
    for (std::uint32_t number : numbers) {
        std::shared_ptr<Var> var = number < kVarCount ? lookup(Qcode{number}) : nullptr;
        if (!var)
            throw std::runtime_error("initInicio");
        varTable[number] = std::move(var);
    }
}

void FromSiocChannel::decodeMessage(const std::string& line)
{
    g_log.traceRaw(Trace::SiocIn, kSiocReceiveTracePrefix, line);
    const std::vector<std::string_view> words = gf_iocpWords(line);
    // The server introduces itself with "Arn.TipoSer:" and its name; nothing to act on.
    if (words.size() >= 2 && words[0] == "Arn" && words[1] == "TipoSer")
        return;
    try {
        bool numberPending = false;
        std::int32_t number = 0;
        for (std::string_view word : words) {
            if (word == "Fin")
                throw FinReceivedException();
            if (word == "Vivo") {
                if (const auto client = peer.lock())
                    client->sendData("Arn.Vivo:\r\n");
                continue;
            }
            if (word == "Resp" || word == "Arn")
                continue;
            const std::int32_t n = base::str2int32(word);
            if (!numberPending) {
                number = n;
                numberPending = true;
            } else {
                pushElement({static_cast<std::uint32_t>(number), n});
                numberPending = false;
            }
        }
    } catch (const FinReceivedException&) {
        throw;
    } catch (const ConnectionLostError&) {
        throw; // the keep-alive answer could not be sent: not the line's fault
    } catch (const std::exception& e) {
        throw std::runtime_error("From SIOC: " + line + ", " + e.what() + "\n");
    }
}

void FromSiocChannel::flushElement(const ChannelElement& element)
{
    g_variableMonitor.recordSioc(element.number, element.value);
    if (element.number < kVarCount && varTable[element.number]) {
        varTable[element.number]->setValue(element.value);
        return;
    }
    // Another client's variable, or a script edited while the bridge runs: no reason to stop
    // bridging the others. Once per number, so a busy switch does not flood the log.
    if (m_droppedNumbers.insert(element.number).second)
        g_log.write(fmt::format("SIOC variable {} is not registered: its values are dropped",
                                static_cast<std::int32_t>(element.number)));
}

} // namespace brg
