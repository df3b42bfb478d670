#pragma once
// The shape of the lines the PSX main server sends. Hand-written instead of std::regex because
// this runs once per received line; tests hold it against the ECMAScript patterns it stands for.
#include <optional>
#include <string_view>

namespace brg {

// What either side sends to end the session, and how the PSX traces mark each direction.
inline constexpr const char* kPsxExitKeyword = "exit";
inline constexpr const char* kPsxSendTracePrefix = "> ";
inline constexpr const char* kPsxReceiveTracePrefix = "   < ";

// The long Qs375–Qs377 and Qs407–Qs412 texts (at least 101 characters with the line end, no
// further Q-variable after the sixth character) that nothing uses; they are dropped unseen.
bool gf_isSkippedLongLine(std::string_view line);

// Calls f with every content of the received line, as the pattern "(.+)(?:\r\n|\r|\n)" finds them
// one after the other: a run of characters other than CR and LF ended by "\n", "\r\n" or a lone
// "\r". A lone CR ends a line here as it separates words on the SIOC side; a run without an end
// is no line.
template <class F> void gf_forEachLineContent(std::string_view line, F&& f)
{
    std::size_t i = 0;
    const std::size_t size = line.size();
    while (i < size) {
        if (line[i] == '\r' || line[i] == '\n') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < size && line[i] != '\r' && line[i] != '\n')
            ++i;
        if (i < size)
            f(line.substr(start, i - start));
    }
}

struct QLine {
    char kind = 0;            // 'h', 'i' or 's'
    std::string_view number;  // one or more digits
    std::string_view value;   // everything after the first "=", possibly empty
};

// The whole text matched against "Q(h|i|s)(\d+)=(.*)".
std::optional<QLine> gf_matchQLine(std::string_view content);

// The whole text matched against "version=(.+)": the version text.
std::optional<std::string_view> gf_matchVersionLine(std::string_view content);

} // namespace brg
