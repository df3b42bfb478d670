#pragma once
// The map from the key codes of a home-built CDU keyboard to the 69 CDU keys.
#include <cstdint>

namespace brg {

class CfgFile;

inline constexpr std::uint32_t kCduKeyCount = 69;      // key indices 0 to 68
inline constexpr std::uint32_t kCduKeyCodeCount = 89;  // key codes 0 to 88
inline constexpr std::uint32_t kNoCduKey = 70;         // the entry of a code without a key

// The key index for a code, or kNoCduKey; a code of 89 or more has no key.
std::uint32_t gf_cduKeyForCode(std::uint32_t code);

// With OCCDU=0 in the file, reads all 69 key codes, reports every problem in one pass, and
// installs the new map only when it is complete and correct. Throws what the conversion of
// OCCDU or of a code too large for 32 bits throws.
void gf_readCduKeyMap(const CfgFile& file);

// The configuration key of a key index (0 to 68) and its code in the built-in map.
const char* gf_cduKeyName(std::uint32_t index);
std::uint32_t gf_cduKeyBuiltInCode(std::uint32_t index);

// Back to the built-in map.
void gf_resetCduKeyMap();

} // namespace brg
