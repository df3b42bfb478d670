#include "vars/bcd.h"

#include <fmt/format.h>
#include <stdexcept>

namespace brg {

std::uint32_t gf_bcd(std::uint32_t v, int digits)
{
    std::uint32_t packed = 0;
    for (int i = 0; i < digits; ++i) {
        packed |= (v % 10) << (4 * i);
        v /= 10;
    }
    return packed;
}

std::uint32_t gf_blankLeadingZeros(std::uint32_t packed, int digits)
{
    for (int i = digits - 1; i > 0; --i) {
        const int shift = 4 * i;
        if (((packed >> shift) & 0xF) != 0)
            break;
        packed |= kBlankDigit << shift;
    }
    return packed;
}

std::uint32_t gf_blank3(std::uint32_t v) { return gf_blankLeadingZeros(gf_bcd(v % 1000, 3), 3); }

std::uint32_t gf_i2BCD3bn(std::int32_t v)
{
    if (v >= 0)
        return gf_blank3(static_cast<std::uint32_t>(v));
    const std::uint32_t m = 0u - static_cast<std::uint32_t>(v);
    if (m % 1000 >= 100)
        throw std::runtime_error(fmt::format("gf_i2BCD3bn: negative var to big: {}", v));
    const std::uint32_t tens = (m / 10) % 10;
    const std::uint32_t units = m % 10;
    if (tens != 0)
        return (kDashDigit << 8) | (tens << 4) | units;
    return (kBlankDigit << 8) | (kDashDigit << 4) | units;
}

} // namespace brg
