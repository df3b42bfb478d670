// The hand-written line matcher against the ECMAScript patterns it replaces.
#include "psx/psx_line.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace brg {
namespace {

struct Decoded {
    std::string content;
    bool isQ = false;
    std::string kind, number, value;
    bool isVersion = false;
    std::string version;
    bool operator==(const Decoded&) const = default;
};

std::vector<Decoded> lf_byRegex(const std::string& line)
{
    static const std::regex content("(.+)(?:\\r\\n|\\r|\\n)", std::regex::ECMAScript);
    static const std::regex qLine("Q(h|i|s)(\\d+)=(.*)", std::regex::ECMAScript);
    static const std::regex versionLine("version=(.+)", std::regex::ECMAScript);
    std::vector<Decoded> out;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), content); it != std::sregex_iterator(); ++it) {
        Decoded d;
        d.content = (*it)[1].str();
        std::smatch m;
        if (std::regex_match(d.content, m, qLine)) {
            d.isQ = true;
            d.kind = m[1].str();
            d.number = m[2].str();
            d.value = m[3].str();
        }
        if (std::regex_match(d.content, m, versionLine)) {
            d.isVersion = true;
            d.version = m[1].str();
        }
        out.push_back(d);
    }
    return out;
}

std::vector<Decoded> lf_byMatcher(const std::string& line)
{
    std::vector<Decoded> out;
    gf_forEachLineContent(line, [&](std::string_view c) {
        Decoded d;
        d.content = std::string(c);
        if (const auto q = gf_matchQLine(c)) {
            d.isQ = true;
            d.kind = std::string(1, q->kind);
            d.number = std::string(q->number);
            d.value = std::string(q->value);
        }
        if (const auto v = gf_matchVersionLine(c)) {
            d.isVersion = true;
            d.version = std::string(*v);
        }
        out.push_back(d);
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
    const std::string body(150 - 7, 'x');
    const std::vector<std::pair<std::string, bool>> rows = {
        {"Qs410=" + body + "\n", true},
        {"Qs410=" + std::string(101 - 7, 'x') + "\n", true}, // 101 with "\n"
        {"Qs410=" + std::string(100 - 7, 'x') + "\n", false},
        {"Qs413=" + body + "\n", false}, // not a long text
        {"Qs410=" + body + "Qh1=2\n", false}, // another variable
        {"Qs410=" + body + "Qi\n", false},
        {"Qs410=" + body + "Qx\n", true},
        {"Qs375=Qs" + body + "\n", false},
        {"Qs412Qs" + body + "\n", true}, // only from the seventh character on
        {"Qs412=Q" + body + "\n", true},
    };
    for (const auto& [line, skipped] : rows)
        EXPECT_EQ(gf_isSkippedLongLine(line), skipped) << line;
}

} // namespace
} // namespace brg
