// The hand-written line matcher against the ECMAScript patterns it replaces.
#include "psx/psx_line.h"
#include "support/data_file.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace brg {
namespace {

// Each line content found, as "content|kind number value|version" with empty parts for no match.
std::string lf_byRegex(const std::string& line)
{
    static const std::regex content("(.+)(?:\\r\\n|\\r|\\n)", std::regex::ECMAScript);
    static const std::regex qLine("Q(h|i|s)(\\d+)=(.*)", std::regex::ECMAScript);
    static const std::regex versionLine("version=(.+)", std::regex::ECMAScript);
    std::string out;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), content); it != std::sregex_iterator(); ++it) {
        const std::string c = (*it)[1].str();
        std::smatch q, v;
        const bool isQ = std::regex_match(c, q, qLine), isVersion = std::regex_match(c, v, versionLine);
        out += c + "|" + (isQ ? q[1].str() + " " + q[2].str() + " " + q[3].str() : "") + "|" + (isVersion ? v[1].str() : "") + "\n";
    }
    return out;
}

std::string lf_byMatcher(const std::string& line)
{
    std::string out;
    gf_forEachLineContent(line, [&](std::string_view c) {
        const auto q = gf_matchQLine(c);
        const auto v = gf_matchVersionLine(c);
        out += std::string(c) + "|" + (q ? q->kind + (" " + std::string(q->number) + " " + std::string(q->value)) : "") +
               "|" + (v ? std::string(*v) : "") + "\n";
    });
    return out;
}

TEST(PsxLineMatcher, AgreesWithThePatternsOnGeneratedLines)
{
    const std::vector<std::string> hostile = {std::string("Qs7=a\0b\n", 8), "Qs7=\xff\xfe\x80\n", "\xd9\x82h1=2\n",
                                              std::string(5000, 'Q') + "\n", "Qs410=" + std::string(3000, 'x') + "\r\n"};
    for (const std::string& line : hostile)
        EXPECT_EQ(lf_byMatcher(line), lf_byRegex(line)) << "line: " << line;
    // Short strings over an alphabet of the characters that matter make every corner likely.
    const std::string alphabet = std::string("Qhisx01=\r\n v\xe9") + std::string(1, '\0') + "versionexit";
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> length(0, 14);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    const std::vector<std::string> starts = {"", "Q", "Qh", "Qs1", "Qi12=", "version=", "v"};
    std::uniform_int_distribution<std::size_t> pickStart(0, starts.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string line = starts[pickStart(random)];
        for (std::size_t n = length(random); n > 0; --n)
            line += alphabet[pick(random)];
        if (i % 2 == 0)
            line += i % 4 == 0 ? "\n" : "\r\n";
        ASSERT_EQ(lf_byMatcher(line), lf_byRegex(line)) << "line: " << line;
    }
}

TEST(PsxLongLineSkip, DropsOnlyLongUnusedTextsWithoutAnotherVariableInside)
{
    for (const std::string& row : test::dataLines("psx-long-lines.txt")) {
        std::istringstream words(row);
        std::string start, end, dropped;
        std::size_t length = 0;
        words >> start >> length >> end >> dropped;
        EXPECT_EQ(gf_isSkippedLongLine(start + std::string(length, 'x') + test::unescape(end)), dropped == "yes") << row;
    }
}

} // namespace
} // namespace brg
