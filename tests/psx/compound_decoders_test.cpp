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
using ::testing::Not;

using CompoundDecoders = PsxInboundTest;

TEST_F(CompoundDecoders, FieldListsQueueOnlyWithTheRightCountAndStopAtABadField)
{
    bind({3428});
    openLog();
    g_log.setTrace(Trace::PsxInQs, true);
    decode("Qs428=1;2;3\r\n");
    decode("Qs428=1;2;3;\r\n");
    EXPECT_EQ(queued(), (Elements{{3428, 1}, {3429, 2}, {3430, 3}, {3428, 1}, {3429, 2}, {3430, 3}}));
    FromPSXClient->flushQueue();
    decode("Qs428=1;2\r\n");
    EXPECT_THAT(queued(), IsEmpty());
    EXPECT_THAT(log(), HasSubstr("error: decodeQsn var: 3428, s: 1;2, n:3, sv size:2\n"));
    decode("Qs428=1;x;3\r\n");
    EXPECT_EQ(queued(), (Elements{{3428, 1}}));
    EXPECT_THAT(log(), HasSubstr("! Exception in decodeQsnSv\n"));
}

TEST_F(CompoundDecoders, CabinTemperaturesDecodeInPsxsPairFormAndInThePlainForm)
{
    bind({4890});
    decode("Qs432=73,78;73,81;73,80;62,79;62,78;72,77;72,82;75,80;75,80;75,79;75,79;75,80;72,77;73;\r\n");
    const Elements pairs = queued();
    ASSERT_EQ(pairs.size(), 27u);
    EXPECT_EQ(pairs.front(), (ChannelElement{4890, 73}));
    EXPECT_EQ(pairs[1], (ChannelElement{4891, 78}));
    EXPECT_EQ(pairs.back(), (ChannelElement{4916, 73}));
    FromPSXClient->flushQueue();
    decode("Qs432=73;78;73;81;73;80;62;79;62;78;72;77;72;82;75;80;75;80;75;79;75;79;75;80;72;77;73;\r\n");
    EXPECT_EQ(queued(), pairs);
}

TEST_F(CompoundDecoders, ControlSurfacesNeedTwentyCharactersAndIgnoreTheNoDataForm)
{
    openLog();
    decode("Qs480=####################\n");
    decode("Qs480=0102030405060708091\n");
    decode("Qs480=010203040506070809100\n");
    EXPECT_THAT(queued(), IsEmpty());
    EXPECT_THAT(log(), HasSubstr("QS480 not 20 characters?:0102030405060708091\n"));
    EXPECT_THAT(log(), HasSubstr("QS480 not 20 characters?:010203040506070809100\n"));
    decode("Qs480=01020304050607080910\n");
    const Elements surfaces = queued();
    ASSERT_EQ(surfaces.size(), 10u);
    EXPECT_EQ(surfaces.front(), (ChannelElement{4980, 1}));
    EXPECT_EQ(surfaces.back(), (ChannelElement{4989, 10}));
}

TEST_F(CompoundDecoders, TransponderDigitsAndModes)
{
    bind({3028});
    decode("Qs118=0000____LB\n");
    EXPECT_EQ(queued(), (Elements{{3028, -1}}));
    EXPECT_EQ(g_decoded.squawkDigitCount, 0);
    EXPECT_TRUE(g_decoded.squawkFlagL);
    EXPECT_TRUE(g_decoded.squawkModeB);
    FromPSXClient->flushQueue();
    decode("Qs118=000012__NP\n");
    EXPECT_EQ(queued(), (Elements{{3028, 12}}));
    EXPECT_EQ(g_decoded.squawkDigitCount, 2);
    EXPECT_FALSE(g_decoded.squawkFlagL);
    EXPECT_TRUE(g_decoded.squawkModeP);
    EXPECT_FALSE(g_decoded.squawkModeB);
    FromPSXClient->flushQueue();
    decode("Qs118=65426542NNN\n");
    EXPECT_EQ(queued(), (Elements{{3028, 6542}}));
    EXPECT_EQ(g_decoded.squawkDigitCount, 4);
    EXPECT_THROW(decode("Qs118=6542654\n"), std::out_of_range);
}

TEST_F(CompoundDecoders, ClocksGiveTimeDateAndYearInUtc)
{
    bind({3124, 3125});
    decode("Qs124=0\n");
    EXPECT_EQ(queued(), (Elements{{3124, 0}, {3130, 101}, {3131, 1970}}));
    FromPSXClient->flushQueue();
    decode("Qs125=1397621442011\n");
    EXPECT_EQ(queued(), (Elements{{3125, 410}, {3134, 416}, {3135, 2014}}));
    FromPSXClient->flushQueue();
    // A simulator date after January 2038 (seconds beyond 32 bits).
    decode("Qs124=2208992700000\n");
    EXPECT_EQ(queued(), (Elements{{3124, 105}, {3130, 101}, {3131, 2040}}));
    FromPSXClient->flushQueue();
    decode("Qs124=-1000\n");
    EXPECT_EQ(queued(), (Elements{{3124, 2359}, {3130, 1231}, {3131, 1969}}));
    FromPSXClient->flushQueue();
    for (const char* bad : {"Qs124=\n", "Qs124=1.5\n", "Qs124=+5\n", "Qs124=99999999999999999999\n"})
        decode(bad);
    EXPECT_THAT(queued(), IsEmpty());
}

TEST_F(CompoundDecoders, ElapsedTimersAndChronographs)
{
    bind({3126, 3127, 3128});
    decode("Qs126=0\n");
    EXPECT_TRUE(g_decoded.elapsedZero126);
    decode("Qs126=-60000\n");
    EXPECT_FALSE(g_decoded.elapsedZero126);
    decode("Qs127=11640113\n");
    decode("Qs128=5999\n");
    EXPECT_EQ(queued(), (Elements{{3126, 0}, {3126, -1}, {3127, 194}, {3128, 5}}));
    FromPSXClient->flushQueue();
    decode("Qs127=0\n");
    decode("Qs127=x\n"); // no number, but it is not "0" either
    EXPECT_FALSE(g_decoded.elapsedZero127);
    decode("Qs128=99999999999\n");
    EXPECT_EQ(queued(), (Elements{{3127, 0}}));
}

TEST_F(CompoundDecoders, CallPanelFindsTheFirstLabelInTableOrder)
{
    EXPECT_EQ(callPanelIndex("PA IN USE"), 3);
    EXPECT_EQ(callPanelIndex("_"), -1);
    EXPECT_EQ(callPanelIndex(""), -1);
    EXPECT_EQ(callPanelIndex("NO LABEL HERE"), -1);
    EXPECT_EQ(callPanelIndex("CR REST PILOT"), 31);  // "PILOT" comes first
    EXPECT_EQ(callPanelIndex("PRIORITY STA"), 6);    // "PRIORITY" comes first
    EXPECT_EQ(callPanelIndex(" M/D CREW REST "), 74);
    EXPECT_EQ(callPanelIndex("PRIORTY PILOT"), 31);
    bind({4887});
    decode("Qs457=DOOR 3 RIGHT\n");
    decode("Qs457=_\n");
    EXPECT_EQ(queued(), (Elements{{4887, 23}, {4887, -1}}));
}

TEST_F(CompoundDecoders, FrequencyPairs)
{
    EXPECT_EQ(parseFrequency("118.300"), 118300);
    EXPECT_EQ(parseFrequency("118.3"), 118003);
    EXPECT_EQ(parseFrequency("12.345"), 12345);
    EXPECT_EQ(parseFrequency(" DATA  "), 0);
    EXPECT_THROW(parseFrequency("118"), std::out_of_range);
    EXPECT_THROW(parseFrequency("11a.300"), std::invalid_argument);
    bind({3022, 3024});
    decode("Qs458=118.300121.900\n");
    decode("Qs459= DATA  132.940;\n");
    EXPECT_EQ(queued(), (Elements{{3022, 118300}, {3023, 121900}, {3024, 0}, {3025, 132940}}));
    FromPSXClient->flushQueue();
    EXPECT_THROW(decode("Qs458=118.30\n"), std::out_of_range);
    EXPECT_EQ(queued(), (Elements{{3022, 118030}}));
}

TEST_F(CompoundDecoders, AutothrottleModeHandsTheLeversBackWhenItLetsGo)
{
    bind({436, 3434});
    openLog();
    decode("Qs434=21;0;0\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
    decode("Qs434=1;0;0\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 1u);
    EXPECT_EQ(queued(), (Elements{{3434, 0}, {3434, 1}}));
    FromPSXClient->flushQueue(); // PSX's mode 1 is now on record
    EXPECT_EQ(var(436).sends, 0);
    decode("Qs434=0;\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
    EXPECT_EQ(var(436).sends, 1);
    decode("Qs434=5\n");
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
    EXPECT_THAT(log(), HasSubstr("! Syserror: decodeQs434\n"));
}

TEST_F(CompoundDecoders, ThrustLeversGoToTheirVarsAndTheTrendToTheMotor)
{
    bind({436, 4735, 4736, 4737, 4738, 4739});
    decode("Qs436=50;50;50;50\n"); // autothrottle not moving the levers: Var 436 answers
    EXPECT_EQ(var(436).sends, 1);
    EXPECT_THAT(var(4735).values, IsEmpty());
    decode("Qs434=1;\n");
    decode("Qs436=50;50;50;50\n");  // first change of trend only primes
    decode("Qs436=100;100;100;100\n");
    EXPECT_THAT(var(4735).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4738).values, ElementsAre(50, 100));
    EXPECT_THAT(var(4739).values, ElementsAre(1));
    EXPECT_EQ(var(436).sends, 1);
    EXPECT_THROW(decode("Qs436=1;2;3\n"), std::out_of_range);
    EXPECT_EQ(var(4735).values.size(), 2u);
}

TEST_F(CompoundDecoders, FlightControlsAndBrakesSetTheirVirtualVarsAtOnce)
{
    bind({120, 3708, 4743, 4744, 4745, 357, 4746, 4747});
    decode("Qs120=1;2;3\n");
    EXPECT_THAT(var(4744).values, ElementsAre(1));
    EXPECT_THAT(var(4743).values, ElementsAre(2));
    EXPECT_THAT(var(4745).values, ElementsAre(3));
    EXPECT_EQ(g_decoded.qs120Fields[0], kNoFieldValue); // 3708 comes from SIOC
    EXPECT_EQ(g_decoded.qs120Fields[1], 2);
    EXPECT_EQ(g_decoded.qs120Fields[2], 3);
    EXPECT_EQ(var(120).sends, 1);
    EXPECT_THROW(decode("Qs120=1;2\n"), std::out_of_range);
    EXPECT_EQ(var(4744).values.size(), 1u);
    decode("Qs357=950;940\n");
    EXPECT_THAT(var(4746).values, ElementsAre(950));
    EXPECT_THAT(var(4747).values, ElementsAre(940));
    EXPECT_EQ(var(357).sends, 0); // no shared field in use
    EXPECT_EQ(g_decoded.qs357Fields[0], kNoFieldValue);
    EXPECT_THAT(queued(), IsEmpty());
}

TEST_F(CompoundDecoders, AttitudeCarriesFloatBitPatterns)
{
    bind({4880});
    decode("Qs121=0;0;0.8019999861717224;32276;0;0.2127519465194235;-1.2038493125974852\n");
    EXPECT_EQ(queued(), (Elements{{4880, 0},
                                  {4881, 0},
                                  {4882, std::bit_cast<std::int32_t>(0.802f)},
                                  {4883, 32276},
                                  {4884, 0},
                                  {4885, 1046076325},
                                  {4886, -1080420420}}));
    FromPSXClient->flushQueue();
    // A field that is no number, or not a single-precision one, is left out.
    decode("Qs121=1;2;+3;4;5;1e50;NaN\n");
    const Elements e = queued();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[2], (ChannelElement{4883, 4}));
    EXPECT_EQ(e[4].number, 4886u);
    EXPECT_TRUE(std::isnan(std::bit_cast<float>(e[4].value)));
    FromPSXClient->flushQueue();
    EXPECT_THROW(decode("Qs121=1;2\n"), std::out_of_range);
    EXPECT_EQ(queued(), (Elements{{4880, 1}, {4881, 2}}));
    EXPECT_EQ(parseSingle("-inf"), -INFINITY);
    EXPECT_EQ(parseSingle("INFINITY"), INFINITY);
    EXPECT_EQ(parseSingle("1.5e2"), 150.0f);
    EXPECT_EQ(parseSingle(" 1"), std::nullopt);
    EXPECT_EQ(parseSingle("1 "), std::nullopt);
    EXPECT_EQ(parseSingle(""), std::nullopt);
    EXPECT_EQ(parseSingle("0x10"), std::nullopt);
}

TEST_F(CompoundDecoders, TanksSkipTheMarkerCharacter)
{
    bind({5613});
    decode("Qs438=d78396;77615;77732;78381;0;0;0;0;0;359413;2699;\n");
    const Elements tanks = queued();
    ASSERT_EQ(tanks.size(), 11u);
    EXPECT_EQ(tanks.front(), (ChannelElement{5613, 78396}));
    EXPECT_EQ(tanks.back(), (ChannelElement{5623, 2699}));
    EXPECT_THROW(decode("Qs438=\n"), std::out_of_range);
}

TEST_F(CompoundDecoders, RadioPanelsQueueTheirOwnFourteenFields)
{
    bind({2092, 2094});
    decode("Qs106=121800;121950;137000;132940;118950;121800;22786;22607;23999;18701;100;100;0;5\n");
    const Elements left = queued();
    ASSERT_EQ(left.size(), 14u);
    EXPECT_EQ(left.front(), (ChannelElement{5631, 121800}));
    EXPECT_EQ(left.back(), (ChannelElement{5644, 5}));
    EXPECT_FALSE(g_decoded.rcpField12Set[0]);
    EXPECT_TRUE(g_decoded.rcpField13Set[0]);
    FromPSXClient->flushQueue();
    // More fields than the panel has: the right panel's would run past 5688.
    decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20\n");
    const Elements right = queued();
    ASSERT_EQ(right.size(), 14u);
    EXPECT_EQ(right.back(), (ChannelElement{5684, 14}));
    EXPECT_TRUE(g_decoded.rcpField12Set[2]);
    FromPSXClient->flushQueue();
    EXPECT_THROW(decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;0\n"), std::out_of_range);
    EXPECT_FALSE(g_decoded.rcpField12Set[2]);
    EXPECT_THROW(decode("Qs108=1;2;3;4;5;6;7;8;9;10;11;12;13;1x\n"), std::invalid_argument);
    EXPECT_EQ(queued().size(), 13u);
}

TEST_F(CompoundDecoders, BaroPairsNeedFiveFields)
{
    bind({5685, 5688});
    decode("Qs448=r-1;-101;1;101219;1;1;1;2300110000001c\n");
    decode("Qs449=1;2;3;4\n");
    decode("Qs449=a;b;c;-4;5\n");
    EXPECT_EQ(queued(), (Elements{{5685, 101219}, {5686, 1}, {5687, -4}, {5688, 5}}));
}

TEST_F(CompoundDecoders, DecodersWaitForAVariableToFeed)
{
    bind({2005});
    for (const char* line : {"Qs118=65426542NNN\n", "Qs121=1;2;3;4;5;6;7\n", "Qs124=0\n", "Qs432=1;2\n",
                             "Qs438=\n", "Qs458=118.300121.900\n", "Qs106=1\n", "Qs434=1;\n", "Qs436=1;2;3;4\n"})
        decode(line);
    EXPECT_THAT(queued(), IsEmpty());
    EXPECT_EQ(FromPSXClient->qs436Mode(), 0u);
    // These few go without a flag.
    decode("Qs112=121800;137000;118950;22786;23999\n");
    decode("Qs483=0;260;260;57;0;-114;\n");
    EXPECT_EQ(queued().size(), 11u);
}

} // namespace
} // namespace brg::test
