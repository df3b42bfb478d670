#include "base/str2int32.h"

#include <stdexcept>

namespace brg {

std::int32_t base::str2int32(std::string_view text)
{
    const auto invalid = [] { return std::invalid_argument("str2int32: invalid integer input"); };
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    if (i == text.size())
        throw invalid();
    // Accumulate as a negative number so that -2147483648 fits.
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            throw invalid();
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            throw invalid();
    }
    if (!negative && magnitude > 2147483647LL)
        throw invalid();
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace brg
