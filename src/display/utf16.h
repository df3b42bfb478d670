#pragma once
// UTF-8 to UTF-16 for the canvas, which draws wide text.
#include <string>
#include <string_view>

namespace brg {

// Throws std::invalid_argument on bytes that are not well-formed UTF-8.
std::u16string gf_utf8ToUtf16(std::string_view text);

} // namespace brg
