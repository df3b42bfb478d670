// The compound Qs texts, decoded through FromPSXClient as PSX sends them.
#include "psx/compound_decoders.h"
#include "psx_test_support.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <bit>
#include <cmath>

namespace brg::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using CompoundDecoders = PsxInboundTest;

enum class Fails { No, OutOfRange, InvalidArgument };

// Lines decoded with the given variables bound, and all they queue; the last line may fail.
struct DecodeCase {
    std::vector<std::uint32_t> bound;
    std::vector<std::string> lines;
    Elements queued;
    Fails last = Fails::No;
};

TEST_F(CompoundDecoders, LinesQueueTheirFields)
{
    const std::vector<DecodeCase> cases = {
        // Field lists: only with the right count, and up to a bad field.
        {{3428}, {"Qs428=1;2;3\r\n", "Qs428=1;2;3;\r\n", "Qs428=1;2\r\n"},
         {{3428, 1}, {3429, 2}, {3430, 3}, {3428, 1}, {3429, 2}, {3430, 3}}},
        {{3428}, {"Qs428=1;x;3\r\n"}, {{3428, 1}}},
        // Control surfaces: exactly twenty characters, not the no-data form.
        {{}, {"Qs480=####################\n", "Qs480=0102030405060708091\n", "Qs480=010203040506070809100\n"}, {}},
        {{}, {"Qs480=01020304050607080910\n"},
         {{4980, 1}, {4981, 2}, {4982, 3}, {4983, 4}, {4984, 5}, {4985, 6}, {4986, 7}, {4987, 8}, {4988, 9}, {4989, 10}}},
        {{3028}, {"Qs118=0000____LB\n", "Qs118=000012__NP\n", "Qs118=65426542NNN\n"}, {{3028, -1}, {3028, 12}, {3028, 6542}}},
        {{3028}, {"Qs118=6542654\n"}, {}, Fails::OutOfRange},
        // Clocks in UTC, also after January 2038 and before 1970; only plain integers count.
        {{3124, 3125},
         {"Qs124=0\n", "Qs125=1397621442011\n", "Qs124=2208992700000\n", "Qs124=-1000\n", "Qs124=\n", "Qs124=1.5\n",
          "Qs124=+5\n", "Qs124=99999999999999999999\n"},
         {{3124, 0}, {3130, 101}, {3131, 1970}, {3125, 410}, {3134, 416}, {3135, 2014}, {3124, 105}, {3130, 101},
          {3131, 2040}, {3124, 2359}, {3130, 1231}, {3131, 1969}}},
        {{3126, 3127, 3128},
         {"Qs126=0\n", "Qs126=-60000\n", "Qs127=11640113\n", "Qs128=5999\n", "Qs127=x\n", "Qs128=99999999999\n"},
         {{3126, 0}, {3126, -1}, {3127, 194}, {3128, 5}}},
        {{4887}, {"Qs457=DOOR 3 RIGHT\n", "Qs457=_\n"}, {{4887, 23}, {4887, -1}}},
        {{3022, 3024}, {"Qs458=118.300121.900\n", "Qs459= DATA  132.940;\n"},
         {{3022, 118300}, {3023, 121900}, {3024, 0}, {3025, 132940}}},
        {{3022}, {"Qs458=118.30\n"}, {{3022, 118030}}, Fails::OutOfRange},
        {{5613}, {"Qs438=d78396;77615;77732;78381;0;0;0;0;0;359413;2699;\n"},
         {{5613, 78396}, {5614, 77615}, {5615, 77732}, {5616, 78381}, {5617, 0}, {5618, 0}, {5619, 0}, {5620, 0},
          {5621, 0}, {5622, 359413}, {5623, 2699}}},
        {{5613}, {"Qs438=\n"}, {}, Fails::OutOfRange},
        {{5685, 5688}, {"Qs448=r-1;-101;1;101219;1;1;1;2300110000001c\n", "Qs449=1;2;3;4\n", "Qs449=a;b;c;-4;5\n"},
         {{5685, 101219}, {5686, 1}, {5687, -4}, {5688, 5}}},
        // A field that is no number, or not a single-precision one, is left out.
        {{4880}, {"Qs121=1;2;+3;4;5;1e50;0\n"}, {{4880, 1}, {4881, 2}, {4883, 4}, {4884, 5}, {4886, 0}}},
        {{4880}, {"Qs121=1;2\n"}, {{4880, 1}, {4881, 2}}, Fails::OutOfRange},
        {{2092, 2094}, {"Qs108=1;2;3;4;5;6;7;8;9;10;11;12;0\n"}, {}, Fails::OutOfRange},
        {{2092, 2094}, {"Qs108=1;2;3;4;5;6;7;8;9;10;11;12;13;1x\n"},
         {{5671, 1}, {5672, 2}, {5673, 3}, {5674, 4}, {5675, 5}, {5676, 6}, {5677, 7}, {5678, 8}, {5679, 9},
          {5680, 10}, {5681, 11}, {5682, 12}, {5683, 13}},
         Fails::InvalidArgument},
        // Without a variable to feed, the decoders stay silent.
        {{2005},
         {"Qs118=65426542NNN\n", "Qs121=1;2;3;4;5;6;7\n", "Qs124=0\n", "Qs432=1;2\n", "Qs438=\n",
          "Qs458=118.300121.900\n", "Qs106=1\n", "Qs434=1;\n", "Qs436=1;2;3;4\n"},
         {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const DecodeCase& c = cases[i];
        SCOPED_TRACE(c.lines.front());
        gf_resetProcessState();
        vars.clear();
        for (std::uint32_t n : c.bound)
            bind({n});
        for (std::size_t l = 0; l + 1 < c.lines.size(); ++l)
            decode(c.lines[l]);
        switch (c.last) {
        case Fails::No: decode(c.lines.back()); break;
        case Fails::OutOfRange: EXPECT_THROW(decode(c.lines.back()), std::out_of_range); break;
        case Fails::InvalidArgument: EXPECT_THROW(decode(c.lines.back()), std::invalid_argument); break;
        }
        EXPECT_EQ(queued(), c.queued) << "case " << i;
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
    EXPECT_EQ(pairs.back(), (ChannelElement{4916, 73}));
    FromPSXClient->flushQueue();
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
    FromPSXClient->flushQueue();
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
        EXPECT_EQ(callPanelIndex(text), index) << text; // the first label in table order wins
    EXPECT_EQ(parseFrequency("118.300"), 118300);
    EXPECT_EQ(parseFrequency("118.3"), 118003);
    EXPECT_EQ(parseFrequency("12.345"), 12345);
    EXPECT_EQ(parseFrequency(" DATA  "), 0);
    EXPECT_THROW(parseFrequency("118"), std::out_of_range);
    EXPECT_THROW(parseFrequency("11a.300"), std::invalid_argument);
    EXPECT_EQ(parseSingle("-inf"), -INFINITY);
    EXPECT_EQ(parseSingle("INFINITY"), INFINITY);
    EXPECT_EQ(parseSingle("1.5e2"), 150.0f);
    EXPECT_TRUE(std::isnan(*parseSingle("NaN")));
    for (const char* bad : {" 1", "1 ", "", "0x10", "1e50", "+3"})
        EXPECT_EQ(parseSingle(bad), std::nullopt) << bad;
}

TEST_F(CompoundDecoders, AttitudeCarriesFloatBitPatterns)
{
    bind({4880});
    decode("Qs121=0;0;0.8019999861717224;32276;0;0.2127519465194235;-1.2038493125974852\n");
    EXPECT_EQ(queued(), (Elements{{4880, 0}, {4881, 0}, {4882, std::bit_cast<std::int32_t>(0.802f)}, {4883, 32276},
                                  {4884, 0}, {4885, 1046076325}, {4886, -1080420420}}));
}

TEST_F(CompoundDecoders, AutothrottleModeHandsTheLeversBackWhenItLetsGo)
{
    bind({436, 3434, 4735, 4738, 4739});
    openLog();
    decode("Qs434=21;0;0\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
    decode("Qs436=50;50;50;50\n"); // autothrottle not moving the levers: Var 436 answers
    EXPECT_EQ(var(436).sends, 1);
    EXPECT_THAT(var(4735).values, IsEmpty());
    decode("Qs434=1;0;0\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 1u);
    decode("Qs436=50;50;50;50\n"); // first change of trend only primes
    decode("Qs436=100;100;100;100\n");
    EXPECT_THAT(var(4735).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4738).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4739).values, ElementsAre(1));
    EXPECT_THROW(decode("Qs436=1;2;3\n"), std::out_of_range);
    EXPECT_EQ(queued(), (Elements{{3434, 0}, {3434, 1}}));
    FromPSXClient->flushQueue(); // PSX's mode 1 is now on record
    EXPECT_EQ(var(436).sends, 1);
    decode("Qs434=0;\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
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
