// The compound Qs texts, decoded through g_FromPSXClient as PSX sends them, and the field readers
// their decoders share.
#include "psx/compound_decoders.h"
#include "psx/field_split.h"
#include "psx/thrust_lever_trend.h"
#include "psx_test_support.h"
#include "support/data_file.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <cmath>
#include <iterator>
#include <span>
#include <sstream>

namespace brg::test {
namespace {

using ::testing::HasSubstr;

using CompoundDecoders = PsxInboundTest;

// Each case of psx-lines.txt is its "bind" line and the lines up to the next one.
TEST_F(CompoundDecoders, LinesQueueWhatTheirVariablesUse)
{
    std::vector<std::vector<std::string>> cases;
    for (const std::string& line : dataLines("psx-lines.txt")) {
        if (line.starts_with("bind"))
            cases.emplace_back();
        cases.back().push_back(line);
    }
    ASSERT_GT(cases.size(), 20u);
    for (const std::vector<std::string>& c : cases) {
        SCOPED_TRACE(c[0] + " " + c[1]);
        gf_resetProcessState();
        vars.clear();
        varCalls.clear();
        std::istringstream bound(c[0].substr(4));
        bind({std::istream_iterator<std::uint32_t>(bound), {}});
        std::string failed = "none";
        std::map<char, std::string> expected = {{'!', "none"}};
        for (const std::string& line : std::span(c).subspan(1)) {
            if (line.starts_with("< ")) {
                try {
                    decode(unescape(line.substr(2)));
                } catch (const std::out_of_range&) {
                    failed = "out_of_range";
                } catch (const std::invalid_argument&) {
                    failed = "invalid_argument";
                }
            } else if (line == "flush") {
                g_FromPSXClient->flushQueue();
            } else {
                expected[line[0]] = line.substr(2);
            }
        }
        EXPECT_EQ(failed, expected['!']);
        EXPECT_EQ(queued(), elementsOf(expected['>']));
        std::istringstream calls(expected['=']);
        EXPECT_EQ(varCalls, Calls(std::istream_iterator<std::string>(calls), {}));
    }
}

TEST_F(CompoundDecoders, BadFieldsAreLoggedWithTheirLine)
{
    bind({1045, 3428, 3434});
    openLog();
    g_log.setTrace(Trace::PsxInQs, true);
    EXPECT_THROW(decode("Qh45=ab\r\n"), std::invalid_argument);
    decode("Qs428=1;2\r\n");
    decode("Qs428=1;x;3\r\n");
    decode("Qs480=0102030405060708091\n");
    decode("Qs434=5\n");
    for (const char* text : {"? decodeMessage Qh45=ab\r\n str2int32: invalid integer input\n",
                             "error: decodeQsn var: 3428, s: 1;2, n:3, sv size:2\n", "! Exception in decodeQsnSv\n",
                             "QS480 not 20 characters?:0102030405060708091\n", "! Syserror: decodeQs434\n"})
        EXPECT_THAT(log(), HasSubstr(text));
}

TEST_F(CompoundDecoders, DecodedStatesForTheDisplays)
{
    bind({3028, 3126, 3127, 2092, 2094, 120, 3708});
    decode("Qs120=1;2;3\n");
    EXPECT_EQ(g_decoded.qs120Fields[0], kNoFieldValue); // 3708 comes from SIOC
    EXPECT_EQ(g_decoded.qs120Fields[2], 3);
    decode("Qs118=0000____LB\n");
    EXPECT_EQ(g_decoded.squawkDigitCount, 0);
    EXPECT_TRUE(g_decoded.squawkFlagL && g_decoded.squawkModeB);
    decode("Qs118=000012__NP\n");
    EXPECT_EQ(g_decoded.squawkDigitCount, 2);
    EXPECT_TRUE(g_decoded.squawkModeP && !g_decoded.squawkModeB && !g_decoded.squawkFlagL);

    decode("Qs126=0\n");
    EXPECT_TRUE(g_decoded.elapsedZero126);
    decode("Qs126=-60000\n");
    EXPECT_FALSE(g_decoded.elapsedZero126);
    decode("Qs127=x\n"); // no number, but it is not "0" either
    EXPECT_FALSE(g_decoded.elapsedZero127);

    decode("Qs106=121800;121950;137000;132940;118950;121800;22786;22607;23999;18701;100;100;0;5\n");
    EXPECT_FALSE(g_decoded.rcpField12Set[0]);
    EXPECT_TRUE(g_decoded.rcpField13Set[0]);
    decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20\n");
    EXPECT_TRUE(g_decoded.rcpField12Set[2]);
    EXPECT_THROW(decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;0\n"), std::out_of_range);
    EXPECT_FALSE(g_decoded.rcpField12Set[2]);
}

TEST_F(CompoundDecoders, FieldParsers)
{
    for (const auto& [text, index] : std::vector<std::pair<const char*, std::int32_t>>{
             {"PA IN USE", 3}, {"_", -1}, {"", -1}, {"NO LABEL HERE", -1}, {"CR REST PILOT", 31},
             {"PRIORITY STA", 6}, {" M/D CREW REST ", 74}, {"PRIORTY PILOT", 31}})
        EXPECT_EQ(psx::callPanelIndex(text), index) << text; // the first label in table order wins
    EXPECT_EQ(psx::parseFrequency("118.3"), 118003);
    EXPECT_EQ(psx::parseFrequency("12.345"), 12345);
    EXPECT_THROW(psx::parseFrequency("118"), std::out_of_range);
    EXPECT_THROW(psx::parseFrequency("11a.300"), std::invalid_argument);
    EXPECT_EQ(psx::parseSingle("-inf"), -INFINITY);
    EXPECT_EQ(psx::parseSingle("INFINITY"), INFINITY);
    EXPECT_EQ(psx::parseSingle("1.5e2"), 150.0f);
    EXPECT_TRUE(std::isnan(*psx::parseSingle("NaN")));
    for (const char* bad : {" 1", "1 ", "", "0x10", "1e50", "+3"})
        EXPECT_EQ(psx::parseSingle(bad), std::nullopt) << bad;
}

// As a stream line reader splits: a last empty field is no field; the cabin temperature pairs give
// the same fields with "," as with ";".
TEST(SplitFields, ReadsLikeAStreamLineReader)
{
    using Fields = std::vector<std::string_view>;
    for (const auto& [text, fields] : std::vector<std::pair<const char*, Fields>>{
             {"", {}}, {";", {""}}, {"1;2;3", {"1", "2", "3"}}, {"1;2;3;", {"1", "2", "3"}}, {"1;;3;;", {"1", "", "3", ""}},
             {";1", {"", "1"}}})
        EXPECT_EQ(psx::splitFields(text), fields) << text;
    EXPECT_EQ(psx::splitFields("73,78;73,81;73;", ";,"), (Fields{"73", "78", "73", "81", "73"}));
}

TEST(ThrustLeverTrend, FirstChangeOnlyPrimesThenChangesAreReported)
{
    ThrustLeverTrend trend;
    EXPECT_EQ(trend.update({50, 50, 50, 50}), std::nullopt); // 0 -> +1: primes
    EXPECT_EQ(trend.update({100, 100, 100, 100}), 1);        // delta 50
    EXPECT_EQ(trend.update({125, 125, 125, 125}), 0);        // delta 25: standing
    EXPECT_EQ(trend.update({125, 125, 125, 125}), std::nullopt);
    EXPECT_EQ(trend.update({99, 99, 99, 99}), -1);           // delta -26
    // Negative positions count as 0: average (0 + 0 + 0 + 400) / 4 = 100, delta 1.
    EXPECT_EQ(trend.update({-500, -500, -500, 400}), 0);
    trend.forgetLastTrend();
    EXPECT_EQ(trend.update({100, 100, 100, 100}), std::nullopt); // still 0 after forgetting
    EXPECT_EQ(trend.update({200, 200, 200, 200}), 1);
}

} // namespace
} // namespace brg::test
