#include "sioc/iocp_words.h"

#include <gtest/gtest.h>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace brg {
namespace {

std::vector<std::string> lf_regexWords(const std::string& line)
{
    static const std::regex word("-*\\w+", std::regex::ECMAScript);
    std::vector<std::string> words;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back(it->str());
    return words;
}

std::vector<std::string> lf_walkerWords(const std::string& line)
{
    std::vector<std::string> words;
    for (std::string_view w : gf_iocpWords(line))
        words.emplace_back(w);
    return words;
}

// The walker must accept exactly what the regular expression accepts, on protocol-like lines and
// on arbitrary bytes (high bytes, NUL, control characters): "a-b --5 -- : x--" is a, -b, --5, x.
TEST(IocpWords, AgreesWithTheRegularExpressionOnGeneratedLines)
{
    std::mt19937 random(20261206);
    const std::string protocolAlphabet = "ArnRespVivoFinTipoSer0123456789-_.:=\r\n ";
    for (int i = 0; i < 20000; ++i) {
        const bool hostile = i % 2 == 1;
        std::string line(std::uniform_int_distribution<std::size_t>(0, 60)(random), '\0');
        for (char& c : line)
            c = hostile ? static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random))
                        : protocolAlphabet[std::uniform_int_distribution<std::size_t>(
                              0, protocolAlphabet.size() - 1)(random)];
        ASSERT_EQ(lf_walkerWords(line), lf_regexWords(line)) << "line #" << i;
    }
}

} // namespace
} // namespace brg
