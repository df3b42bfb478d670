#pragma once
// Cuts an IOCP line into its words: maximal runs of "-" followed by one or more word characters
// (ASCII letters, digits, underscore), found left to right as the ECMAScript search "-*\w+" finds
// them. Everything else separates words.
#include <string_view>
#include <vector>

namespace brg {

// How the SIOC traces mark each direction, indented to stand apart from the PSX traces.
inline constexpr const char* kSiocSendTracePrefix = "            > ";
inline constexpr const char* kSiocReceiveTracePrefix = "               < ";

std::vector<std::string_view> gf_iocpWords(std::string_view line);

} // namespace brg
