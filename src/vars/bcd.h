#pragma once
// Packed decimal for the SIOC displays: one decimal digit per nibble, units lowest. A nibble of
// 0xA shows blank, 0xB a minus sign or dash, 0x8 everywhere is the lamp test.
#include <cstdint>

namespace brg {

inline constexpr std::uint32_t kBlankDigit = 0xA;
inline constexpr std::uint32_t kDashDigit = 0xB;

// The `digits` lowest decimal digits of v, packed.
std::uint32_t gf_bcd(std::uint32_t v, int digits);

// Packed `digits` digits with the leading zeros blanked; the units digit is always shown.
std::uint32_t gf_blankLeadingZeros(std::uint32_t packed, int digits);

// The three lowest digits of v with leading zeros blanked.
std::uint32_t gf_blank3(std::uint32_t v);

// Three signed digits with leading zeros blanked; a negative value shows its minus sign just left
// of its leftmost digit, so it cannot show more than two digits (std::runtime_error otherwise).
std::uint32_t gf_i2BCD3bn(std::int32_t v);

} // namespace brg
