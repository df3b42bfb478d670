#pragma once
#include <string>

namespace brg {

// The current UTC date and time as the C library's asctime prints it, without the line feed:
// "Sun Dec  6 09:45:31 2026".
std::string gf_utcAsctime();

// The eight characters of the current UTC time of day, "09:45:31".
std::string gf_utcTimeOfDay();

} // namespace brg
