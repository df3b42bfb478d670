#include "psx/psx_line.h"

#include <array>

namespace brg {

namespace {

// "." of an ECMAScript pattern: anything but a line terminator.
bool lf_allDots(std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; }

bool lf_isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool gf_isSkippedLongLine(std::string_view line)
{
    static constexpr std::array<std::string_view, 9> kLongTexts = {"Qs375", "Qs376", "Qs377", "Qs407", "Qs408",
                                                                   "Qs409", "Qs410", "Qs411", "Qs412"};
    if (line.size() < 101 || !line.starts_with("Qs"))
        return false;
    bool longText = false;
    for (std::string_view prefix : kLongTexts)
        longText = longText || line.starts_with(prefix);
    if (!longText)
        return false;
    for (std::size_t q = line.find('Q', 6); q != std::string_view::npos; q = line.find('Q', q + 1)) {
        if (q + 1 < line.size() && (line[q + 1] == 's' || line[q + 1] == 'i' || line[q + 1] == 'h'))
            return false;
    }
    return true;
}

std::optional<QLine> gf_matchQLine(std::string_view content)
{
    if (content.size() < 4 || content[0] != 'Q')
        return std::nullopt;
    const char kind = content[1];
    if (kind != 'h' && kind != 'i' && kind != 's')
        return std::nullopt;
    std::size_t i = 2;
    while (i < content.size() && lf_isDigit(content[i]))
        ++i;
    if (i == 2 || i == content.size() || content[i] != '=')
        return std::nullopt;
    QLine line{kind, content.substr(2, i - 2), content.substr(i + 1)};
    if (!lf_allDots(line.value))
        return std::nullopt;
    return line;
}

std::optional<std::string_view> gf_matchVersionLine(std::string_view content)
{
    constexpr std::string_view kKey = "version=";
    if (!content.starts_with(kKey) || content.size() == kKey.size())
        return std::nullopt;
    const std::string_view version = content.substr(kKey.size());
    if (!lf_allDots(version))
        return std::nullopt;
    return version;
}

} // namespace brg
