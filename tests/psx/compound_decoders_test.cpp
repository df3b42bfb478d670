// The compound Qs texts, decoded through g_FromPSXClient as PSX sends them.
#include "psx/compound_decoders.h"
#include "psx_test_support.h"
#include "support/data_file.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <cmath>
#include <sstream>

namespace brg::test {
namespace {

using ::testing::HasSubstr;

using CompoundDecoders = PsxInboundTest;

// Lines decoded with the given variables bound, all they queue and the calls the variables get at
// once; the last line may fail.
struct DecodeCase {
    std::string bind;
    std::vector<std::uint32_t> bound = {};
    std::vector<std::string> lines = {};
    Elements queued = {};
    Calls calls = {};
    std::string fails = "none";
};

std::vector<DecodeCase> lf_cases()
{
    std::vector<DecodeCase> cases;
    for (const std::string& line : dataLines("psx-lines.txt")) {
        std::istringstream words(line.substr(line.find(' ') + 1));
        if (line.starts_with("bind")) {
            cases.push_back({line});
            for (std::uint32_t n; words >> n;)
                cases.back().bound.push_back(n);
        } else if (line.starts_with("< ")) {
            cases.back().lines.push_back(unescape(line.substr(2)));
        } else if (line.starts_with("> ")) {
            cases.back().queued = elementsOf(line.substr(2));
        } else if (line.starts_with("= ")) {
            for (std::string call; words >> call;)
                cases.back().calls.push_back(call);
        } else if (line.starts_with("! ")) {
            cases.back().fails = line.substr(2);
        }
    }
    return cases;
}

TEST_F(CompoundDecoders, LinesQueueWhatTheirVariablesUse)
{
    const std::vector<DecodeCase> cases = lf_cases();
    ASSERT_GT(cases.size(), 20u);
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.bind + " " + c.lines.front());
        gf_resetProcessState();
        vars.clear();
        varCalls.clear();
        bind(c.bound);
        std::string failed = "none";
        try {
            for (const std::string& line : c.lines)
                decode(line);
        } catch (const std::out_of_range&) {
            failed = "out_of_range";
        } catch (const std::invalid_argument&) {
            failed = "invalid_argument";
        }
        EXPECT_EQ(failed, c.fails);
        EXPECT_EQ(queued(), c.queued);
        EXPECT_EQ(varCalls, c.calls);
    }
}

TEST_F(CompoundDecoders, BadFieldsAreLoggedWithTheirLine)
{
    bind({1045, 3428});
    openLog();
    g_log.setTrace(Trace::PsxInQs, true);
    EXPECT_THROW(decode("Qh45=ab\r\n"), std::invalid_argument);
    decode("Qs428=1;2\r\n");
    decode("Qs428=1;x;3\r\n");
    decode("Qs480=0102030405060708091\n");
    for (const char* text : {"? decodeMessage Qh45=ab\r\n str2int32: invalid integer input\n",
                             "error: decodeQsn var: 3428, s: 1;2, n:3, sv size:2\n", "! Exception in decodeQsnSv\n",
                             "QS480 not 20 characters?:0102030405060708091\n"})
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
    g_FromPSXClient->flushQueue();
    // More fields than the panel has: the right panel's would run past 5688.
    decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20\n");
    EXPECT_EQ(queued().back(), (ChannelElement{5684, 14}));
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

TEST_F(CompoundDecoders, AutothrottleModeHandsTheLeversBackWhenItLetsGo)
{
    bind({436, 3434, 4735, 4738, 4739});
    openLog();
    decode("Qs434=21;0;0\n");
    EXPECT_EQ(g_FromPSXClient->qs436Mode(), 0u);
    decode("Qs436=50;50;50;50\n"); // autothrottle not moving the levers: Var 436 answers
    decode("Qs434=1;0;0\n");
    EXPECT_EQ(g_FromPSXClient->qs436Mode(), 1u);
    decode("Qs436=50;50;50;50\n"); // first change of trend only primes
    decode("Qs436=100;100;100;100\n");
    EXPECT_EQ(varCalls, (Calls{"^436", "4735=50", "4738=50", "4735=100", "4738=100", "4739=1"}));
    EXPECT_THROW(decode("Qs436=1;2;3\n"), std::out_of_range);
    EXPECT_EQ(queued(), (Elements{{3434, 0}, {3434, 1}}));
    varCalls.clear();
    g_FromPSXClient->flushQueue(); // PSX's mode 1 is now on record
    decode("Qs434=0;\n");
    EXPECT_EQ(g_FromPSXClient->qs436Mode(), 0u);
    EXPECT_EQ(varCalls, (Calls{"3434=0", "3434=1", "^436"}));
    decode("Qs434=5\n");
    EXPECT_THAT(log(), HasSubstr("! Syserror: decodeQs434\n"));
}

} // namespace
} // namespace brg::test
