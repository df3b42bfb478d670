#include "sioc/iocp_words.h"

namespace brg {

namespace {

// ASCII only, whatever the locale says: the protocol is ASCII.
bool lf_isWordChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

} // namespace

std::vector<std::string_view> gf_iocpWords(std::string_view line)
{
    std::vector<std::string_view> words;
    const std::size_t size = line.size();
    std::size_t i = 0;
    while (i < size) {
        if (line[i] != '-' && !lf_isWordChar(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < size && line[i] == '-')
            ++i;
        // Dashes not followed by a word character belong to no word, and neither does any
        // shorter tail of the same dash run.
        if (i == size || !lf_isWordChar(line[i]))
            continue;
        while (i < size && lf_isWordChar(line[i]))
            ++i;
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace brg
