// The clocks, elapsed timers and chronographs, all sent by PSX in milliseconds.
#include "base/str2int32.h"
#include "psx/compound_decoders.h"
#include "psx/from_psx_channel.h"
#include "vars/decoded_values.h"

#include <charconv>
#include <chrono>
#include <stdexcept>

namespace brg {

namespace {

std::optional<std::int64_t> lf_parseInt64(std::string_view text)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

void psx::decodeClock(FromPsxChannel& channel, std::string_view text, std::uint32_t hhmm, std::uint32_t mmdd,
                 std::uint32_t year)
{
    using namespace std::chrono;
    const std::optional<std::int64_t> millis = lf_parseInt64(text);
    if (!millis)
        return;
    // Whole seconds in 64 bits: a simulator date after January 2038 stays right.
    const sys_seconds time{seconds{*millis / 1000}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const std::int64_t secondOfDay = (time - day).count();
    channel.pushElement({hhmm, static_cast<std::int32_t>(secondOfDay / 3600 * 100 + secondOfDay % 3600 / 60)});
    channel.pushElement({mmdd, static_cast<std::int32_t>(static_cast<unsigned>(date.month()) * 100 +
                                                         static_cast<unsigned>(date.day()))});
    channel.pushElement({year, static_cast<std::int32_t>(static_cast<int>(date.year()))});
}

void psx::decodeElapsed(FromPsxChannel& channel, std::string_view text, std::uint32_t number, bool left)
{
    (left ? g_decoded.elapsedZero126 : g_decoded.elapsedZero127) = text == "0";
    if (const std::optional<std::int64_t> millis = lf_parseInt64(text))
        channel.pushElement({number, static_cast<std::int32_t>(*millis / 60000)});
}

void psx::decodeChronograph(FromPsxChannel& channel, std::string_view text, std::uint32_t number)
{
    std::int32_t millis = 0;
    try {
        millis = base::str2int32(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    channel.pushElement({number, millis / 1000});
}

} // namespace brg
