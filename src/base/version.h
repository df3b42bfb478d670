#pragma once
#include <cstdint>
#include <string>

namespace brg {

inline constexpr const char* kProgramName = "Talvesync";
inline constexpr const char* kProgramVersion = "3.46.0";

struct Version {
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t patch = 0;
    friend bool operator==(const Version&, const Version&) = default;
};

namespace base {

// Reads "major.minor.patch" (any one character between the numbers), or else a JSON object with
// the integer members "major", "minor" and "patch"; the JSON library's exception propagates.
Version parseVersion(const std::string& text);

// The program's own version, parsed once.
const Version& programVersion();

} // namespace base

} // namespace brg
