// The compound Qs texts, decoded through g_FromPSXClient as PSX sends them.
#include "psx/compound_decoders.h"
#include "psx_test_support.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace brg::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using CompoundDecoders = PsxInboundTest;

// "\r" and "\n" as the bytes they stand for.
std::string lf_unescape(std::string text)
{
    for (const auto& [from, to] : {std::pair{"\\r", "\r"}, {"\\n", "\n"}})
        for (std::size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, 2, to);
    return text;
}

// Lines decoded with the given variables bound, and all they queue; the last line may fail.
struct DecodeCase {
    std::string bind;
    std::vector<std::uint32_t> bound = {};
    std::vector<std::string> lines = {};
    Elements queued = {};
    std::string fails = "none";
};

std::vector<DecodeCase> lf_cases()
{
    std::ifstream in(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-lines.txt");
    std::vector<DecodeCase> cases;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line.substr(std::min<std::size_t>(line.size(), 2)));
        if (line.starts_with("bind")) {
            cases.push_back({line});
            words.str(line.substr(4));
            for (std::uint32_t n; words >> n;)
                cases.back().bound.push_back(n);
        } else if (line.starts_with("< ")) {
            cases.back().lines.push_back(lf_unescape(line.substr(2)));
        } else if (line.starts_with("> ")) {
            for (std::string e; words >> e;)
                cases.back().queued.push_back({static_cast<std::uint32_t>(std::stoul(e)), std::stoi(e.substr(e.find('=') + 1))});
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
    }
}

TEST_F(CompoundDecoders, BadFieldsAreLogged)
{
    bind({3428});
    openLog();
    g_log.setTrace(Trace::PsxInQs, true);
    decode("Qs428=1;2\r\n");
    decode("Qs428=1;x;3\r\n");
    decode("Qs480=0102030405060708091\n");
    EXPECT_THAT(log(), HasSubstr("error: decodeQsn var: 3428, s: 1;2, n:3, sv size:2\n"));
    EXPECT_THAT(log(), HasSubstr("! Exception in decodeQsnSv\n"));
    EXPECT_THAT(log(), HasSubstr("QS480 not 20 characters?:0102030405060708091\n"));
}

TEST_F(CompoundDecoders, CabinTemperaturesDecodeInPsxsPairFormAndInThePlainForm)
{
    bind({4890});
    decode("Qs432=73,78;73,81;73,80;62,79;62,78;72,77;72,82;75,80;75,80;75,79;75,79;75,80;72,77;73;\r\n");
    const Elements pairs = queued();
    ASSERT_EQ(pairs.size(), 27u);
    EXPECT_EQ(pairs[1], (ChannelElement{4891, 78}));
    g_FromPSXClient->flushQueue();
    decode("Qs432=73;78;73;81;73;80;62;79;62;78;72;77;72;82;75;80;75;80;75;79;75;79;75;80;72;77;73;\r\n");
    EXPECT_EQ(queued(), pairs);
}

TEST_F(CompoundDecoders, DecodedStatesForTheDisplays)
{
    bind({3028, 3126, 3127, 2092, 2094});
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
    EXPECT_EQ(var(436).sends, 1);
    EXPECT_THAT(var(4735).values, IsEmpty());
    decode("Qs434=1;0;0\n");
    EXPECT_EQ(g_FromPSXClient->qs436Mode(), 1u);
    decode("Qs436=50;50;50;50\n"); // first change of trend only primes
    decode("Qs436=100;100;100;100\n");
    EXPECT_THAT(var(4735).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4738).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4739).values, ElementsAre(1));
    EXPECT_THROW(decode("Qs436=1;2;3\n"), std::out_of_range);
    EXPECT_EQ(queued(), (Elements{{3434, 0}, {3434, 1}}));
    g_FromPSXClient->flushQueue(); // PSX's mode 1 is now on record
    EXPECT_EQ(var(436).sends, 1);
    decode("Qs434=0;\n");
    EXPECT_EQ(g_FromPSXClient->qs436Mode(), 0u);
    EXPECT_EQ(var(436).sends, 2);
    decode("Qs434=5\n");
    EXPECT_THAT(log(), HasSubstr("! Syserror: decodeQs434\n"));
}

TEST_F(CompoundDecoders, FlightControlsAndBrakesSetTheirVirtualVarsAtOnce)
{
    bind({120, 3708, 4743, 4744, 4745, 357, 4746, 4747});
    decode("Qs120=1;2;3\n");
    EXPECT_THAT(var(4744).values, ElementsAre(1));
    EXPECT_THAT(var(4743).values, ElementsAre(2));
    EXPECT_THAT(var(4745).values, ElementsAre(3));
    EXPECT_EQ(g_decoded.qs120Fields[0], kNoFieldValue); // 3708 comes from SIOC
    EXPECT_EQ(g_decoded.qs120Fields[2], 3);
    EXPECT_EQ(var(120).sends, 1);
    EXPECT_THROW(decode("Qs120=1;2\n"), std::out_of_range);
    decode("Qs357=950;940\n");
    EXPECT_THAT(var(4746).values, ElementsAre(950));
    EXPECT_THAT(var(4747).values, ElementsAre(940));
    EXPECT_EQ(var(357).sends, 0); // no shared field in use
    EXPECT_THAT(queued(), IsEmpty());
}

} // namespace
} // namespace brg::test
