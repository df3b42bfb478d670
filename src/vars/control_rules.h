#pragma once
// The checks that direct controls and their virtual switch positions share.
#include <cstdint>
#include <cstdlib>

namespace brg {

struct Range {
    std::int32_t min;
    std::int32_t max;
};

inline std::int32_t gf_clamp(std::int32_t v, Range range)
{
    return v < range.min ? range.min : (v > range.max ? range.max : v);
}

// The dead band of a ranged control: a hundredth of its span.
inline std::int32_t gf_bandOf(Range range) { return (range.max - range.min) / 100; }

// True when v has moved at least `band` away from `current`.
inline bool gf_outsideBand(std::int32_t v, std::int32_t current, std::int32_t band)
{
    return std::llabs(static_cast<long long>(v) - current) >= band;
}

inline bool gf_isSwitchValue(std::int32_t v) { return v == 0 || v == 1; }

// A momentary contact: ignored until synchronisation is over, then every 0 or 1 is a press.
bool gf_momentaryAccepts(std::int32_t v);

// An encoder's step as PSX gets it: at most `limit` either way, negated when inverted.
inline std::int32_t gf_encoderStep(std::int32_t v, std::int32_t limit, bool invert)
{
    const std::int32_t step = gf_clamp(v, {-limit, limit});
    return invert ? -step : step;
}

// The 270-degree potentiometers: raw range, dead band and a start value outside the range so
// that the first report always goes out.
inline constexpr Range kPotRange{0, 4713};
inline constexpr std::int32_t kPotBand = 47;
inline constexpr std::int32_t kPotStartValue = 4760;

} // namespace brg
