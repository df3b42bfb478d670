#include "psx/compound_decoders.h"

#include "base/log.h"
#include "base/str2int32.h"
#include "psx/field_split.h"
#include "psx/from_psx_channel.h"
#include "vars/decoded_values.h"

#include <fmt/format.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace brg {

namespace {

void lf_decodeCounted(FromPsxChannel& channel, std::string_view text, const std::vector<std::string_view>& fields,
                      std::uint32_t base, std::uint32_t count)
{
    if (fields.size() != count) {
        if (g_log.traceOn(Trace::PsxInQs))
            g_log.write(fmt::format("error: decodeQsn var: {}, s: {}, n:{}, sv size:{}", base, text, count,
                                    fields.size()));
        return;
    }
    psx::decodeQsnSv(channel, fields, base);
}

} // namespace

void psx::decodeQsn(FromPsxChannel& channel, std::string_view text, std::uint32_t base, std::uint32_t count,
               std::string_view separators)
{
    lf_decodeCounted(channel, text, psx::splitFields(text, separators), base, count);
}

void psx::decodeQsnSv(FromPsxChannel& channel, const std::vector<std::string_view>& fields, std::uint32_t base)
{
    g_log.write("");
    try {
        for (std::size_t i = 0; i < fields.size(); ++i)
            channel.pushElement({base + static_cast<std::uint32_t>(i), base::str2int32(fields[i])});
    } catch (const std::exception&) {
        gf_logException("decodeQsnSv");
    }
}

void psx::decodeQs480(FromPsxChannel& channel, std::string_view text)
{
    if (text.size() != 20) {
        g_log.write(fmt::format("QS480 not 20 characters?:{}", text));
        return;
    }
    if (text[0] == '#')
        return;
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < text.size(); i += 2)
        fields.push_back(text.substr(i, 2));
    psx::decodeQsnSv(channel, fields, 4980);
}

void psx::decodeTanks(FromPsxChannel& channel, std::string_view text)
{
    if (text.empty())
        throw std::out_of_range("invalid string position");
    std::string marked(text);
    marked[0] = ' ';
    std::vector<std::string_view> fields = psx::splitFields(marked);
    fields[0].remove_prefix(1); // the blank in place of the marker
    lf_decodeCounted(channel, marked, fields, 5613, 11);
}

void psx::decodePair(FromPsxChannel& channel, std::string_view text, std::uint32_t first)
{
    const std::vector<std::string_view> fields = psx::splitFields(text);
    if (fields.size() < 5)
        return;
    channel.pushElement({first, base::str2int32(fields[3])});
    channel.pushElement({first + 1, base::str2int32(fields[4])});
}

void psx::decodeRadioPanel(FromPsxChannel& channel, std::string_view text, std::uint32_t panel)
{
    static constexpr std::uint32_t kBases[3] = {5631, 5651, 5671};
    // The panel owns 14 numbers; further fields would land on another panel's numbers or
    // beyond the last variable number.
    constexpr std::size_t kPanelFields = 14;
    const std::vector<std::string_view> fields = psx::splitFields(text);
    g_decoded.rcpField12Set[panel] = psx::fieldAt(fields, 12) != "0";
    g_decoded.rcpField13Set[panel] = psx::fieldAt(fields, 13) != "0";
    const std::size_t used = std::min(fields.size(), kPanelFields);
    for (std::size_t i = 0; i < used; ++i)
        channel.pushElement({kBases[panel] + static_cast<std::uint32_t>(i), base::str2int32(fields[i])});
}

} // namespace brg
