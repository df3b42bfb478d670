#pragma once
#include <cstdint>
#include <string_view>

namespace brg {

namespace base {

// Strict decimal text to a signed 32-bit integer: an optional leading "-" and one or more
// digits, nothing else, within range. Anything else throws std::invalid_argument
// "str2int32: invalid integer input".
std::int32_t str2int32(std::string_view text);

} // namespace base

} // namespace brg
