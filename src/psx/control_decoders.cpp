// Flight controls, brakes, attitude and the autothrottle's thrust levers.
#include "base/log.h"
#include "base/str2int32.h"
#include "psx/compound_decoders.h"
#include "psx/field_split.h"
#include "psx/from_psx_channel.h"
#include "vars/decoded_values.h"
#include "vars/var_state.h"

#include <array>
#include <bit>
#include <charconv>

namespace brg {

namespace {

void lf_setIfBound(FromPsxChannel& channel, std::uint32_t number, std::int32_t value)
{
    if (Var* var = channel.boundVar(number))
        var->setValue(value);
}

// The fields of Qs120 (three) and Qs357 (two): each goes at once to its virtual Var; those that
// SIOC does not drive are kept for the Var that writes the text back to PSX.
template <std::size_t N>
void lf_decodeSharedFields(FromPsxChannel& channel, std::string_view text, const std::array<std::uint32_t, N>& virtualVars,
                           DecoderFlag sharedFlag, std::uint32_t firstSioc, std::array<std::atomic<std::int32_t>, N>& shared,
                           std::uint32_t textVar)
{
    const std::vector<std::string_view> fields = psx::splitFields(text);
    std::array<std::int32_t, N> values{};
    for (std::size_t k = 0; k < N; ++k)
        values[k] = base::str2int32(psx::fieldAt(fields, k));
    for (std::size_t k = 0; k < N; ++k)
        lf_setIfBound(channel, virtualVars[k], values[k]);
    if (!channel.decoderFlag(sharedFlag))
        return;
    for (std::size_t k = 0; k < N; ++k) {
        if (!channel.isBound(firstSioc + k))
            shared[k] = values[k];
    }
    // Only a bound text Var can write the text back.
    if (Var* var = channel.boundVar(textVar))
        var->sendToPsx();
}

} // namespace

void psx::decodeFlightControls(FromPsxChannel& channel, std::string_view text)
{
    lf_decodeSharedFields<3>(channel, text, {4744, 4743, 4745}, DecoderFlag::Qs120SharedFields, 3708,
                             g_decoded.qs120Fields, 120);
}

void psx::decodeBrakes(FromPsxChannel& channel, std::string_view text)
{
    lf_decodeSharedFields<2>(channel, text, {4746, 4747}, DecoderFlag::Qs357SharedFields, 3711, g_decoded.qs357Fields,
                             357);
}

std::optional<float> psx::parseSingle(std::string_view text)
{
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

void psx::decodeAttitude(FromPsxChannel& channel, std::string_view text)
{
    const std::vector<std::string_view> fields = psx::splitFields(text);
    const auto integer = [&](std::size_t i, std::uint32_t number) {
        channel.pushElement({number, base::str2int32(psx::fieldAt(fields, i))});
    };
    const auto single = [&](std::size_t i, std::uint32_t number) {
        if (const std::optional<float> value = psx::parseSingle(psx::fieldAt(fields, i)))
            channel.pushElement({number, std::bit_cast<std::int32_t>(*value)});
    };
    integer(0, 4880);
    integer(1, 4881);
    single(2, 4882);
    integer(3, 4883);
    integer(4, 4884);
    single(5, 4885);
    single(6, 4886);
}

void psx::decodeQs434(FromPsxChannel& channel, std::string_view text)
{
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos) {
        g_log.write("! Syserror: decodeQs434");
        return;
    }
    const std::int32_t mode = base::str2int32(text.substr(0, semicolon));
    const std::uint32_t leversMoved = (mode != 0 && mode != 21) ? 1 : 0;
    const std::uint32_t previous = g_psxValues[3434];
    channel.setQs436Mode(leversMoved);
    channel.pushElement({3434, static_cast<std::int32_t>(leversMoved)});
    // When the autothrottle lets go, the hardware levers take over again.
    Var* levers = channel.boundVar(436);
    if (levers && previous == 1 && leversMoved == 0)
        levers->sendToPsx();
}

void psx::decodeThrustLevers(FromPsxChannel& channel, std::string_view text)
{
    const std::vector<std::string_view> fields = psx::splitFields(text);
    std::array<std::int32_t, 4> levers{};
    for (std::size_t k = 0; k < levers.size(); ++k)
        levers[k] = base::str2int32(psx::fieldAt(fields, k));
    for (std::size_t k = 0; k < levers.size(); ++k)
        lf_setIfBound(channel, 4735 + static_cast<std::uint32_t>(k), levers[k]);
    if (Var* motor = channel.boundVar(4739)) {
        if (const std::optional<std::int32_t> trend = channel.thrustLeverTrend().update(levers))
            motor->setValue(*trend);
    }
}

} // namespace brg
