#include "config/config_items.h"
#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/bcd.h"
#include "vars/decoded_values.h"
#include "vars/info_vars.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::ElementsAre;
using test::expectSteps;
using test::siocSent;

class InfoVarsTest : public test::FreshState {
protected:
    void TearDown() override { cfg::SQUAWK_AS_INT.resetToDefault(); }
};

constexpr std::uint32_t neg(std::int32_t v) { return static_cast<std::uint32_t>(v); }
constexpr std::uint32_t kBlank4 = 0xAAAA; // "0xA" digits show nothing

TEST(Bcd, PackingAndBlanking)
{
    EXPECT_EQ(gf_bcd(1234567, 6), 0x234567u);
    EXPECT_EQ(gf_blankLeadingZeros(0x000805, 6), 0xAAA805u);
    EXPECT_EQ(gf_blankLeadingZeros(0x0000, 4), 0xAAA0u);
    EXPECT_EQ(gf_blank3(1007), 0xAA7u);
    EXPECT_THROW(gf_i2BCD3bn(-100), std::runtime_error);
}

TEST_F(InfoVarsTest, ForwardedTypesTakeWhatPsxSends)
{
    LinkedForwardVar tas("TAS", 4884, 121);
    SwitchEchoVar echo("AutobrVirtual", 4700, 1134);
    tas.setValue(250);
    echo.setValue(3);
    tas.refresh();
    BandForwardVar compass("StbyCompass");
    for (std::int32_t v : {100, 105, 94})
        compass.setValue(v);
    EXPECT_THAT(siocSent(), ElementsAre(ChannelElement{4884, 250}, ChannelElement{4700, 3},
                                        ChannelElement{2214, 100}, ChannelElement{2214, 94}));
}

// Only changed values are sent; the display gate blanks (0) and tests (1) the LCD panel, whose
// state is not looked at without one; V/S is signed and blank without V/S mode.
TEST_F(InfoVarsTest, McpWindows)
{
    Bcd3DpVar spd("McpWdoSpd", 2032);
    expectSteps(spd, {{2032, 401, 0x1401}, {2032, 951, 2730}, {2032, 951, -1}});
    Bcd5Var alt("McpWdoAlt", 2035);
    expectSteps(alt, {{2035, 7, 0xAA700}, {2035, 0, 0}, {2035, 350, 0x35000}});

    Bcd3Var hdg("McpWdoHdg", 2033);
    expectSteps(hdg, {{2033, 123}, {2012, 1}, {2036, 0, 2730}, {2036, 2, 2184}, {2036, 1, 0x123}});
    expectSteps(alt, {{2036, 2, 559240}, {2012, 0, 0x35000}});

    Bcd4bnVar vs("McpWdoVs", 2034);
    expectSteps(vs, {{2034, neg(-5), 699050}, {1069, 0x8, 0xAB500}, {2034, neg(-12), 0xB1200}, {2034, 25, 0xA2500},
                     {2034, neg(-150), -1}}); // too wide: nothing new
}

TEST_F(InfoVarsTest, SquawkCodeAndDisplay)
{
    SquawkVar sq("SquawkIdent", 2204);
    expectSteps(sq, {{2204, 199999, -1}, {2204, 200000, 0}, {2204, 207700, 0x7700}, {2204, 210000, 0}});
    cfg::SQUAWK_AS_INT.setRunning(true);
    expectSteps(sq, {{2204, 201200, 1200}});

    SquawkDisplayVar disp("SquawkDispl", 118);
    expectSteps(disp, {{0, 0, kBlank4}, {4951, 1}, {3028, 1, 0x1AAA}, {3028, 1234, 0x1234}, {3028, neg(-1), kBlank4}});
    g_decoded.squawkDigitCount = 2;
    expectSteps(disp, {{3028, 0, 0xAA}});
    for (auto [mode, shown] : {std::pair{&DecodedValues::squawkModeE, 0x8888}, {&DecodedValues::squawkModeP, 0xBBBB},
                               {&DecodedValues::squawkModeB, kBlank4}}) {
        g_decoded.*mode = true;
        expectSteps(disp, {{0, 0, shown}});
    }

    FlagVar fail("XpdrFail", 118);
    expectSteps(fail, {{0, 0, 0}});
    g_decoded.squawkFlagL = true;
    expectSteps(fail, {{0, 0, 1}});
}

TEST_F(InfoVarsTest, ClockAndChronographBlankWithoutPower)
{
    ClockVar time("TimeClockL", 3124, 4955, 124);
    expectSteps(time, {{3124, 1345, 43690}, {4955, 1, 0x1345}, {0, 0, -1}}); // resent when the power returns

    ChronoVar chrono("ElapMinsL", 3126, 4955, 126);
    expectSteps(chrono, {{4955, 0, 43690}, {4955, 1}, {2124, 1}, {3128, 125, 0xAAA2}, {3128, 3599, 0xAA59},
                         {3128, 3700, 0x10000 + 0xA101}, // 1 h 1 min, never 1:61
                         {2124, 0, 43690}});              // elapsed time still "0"
    g_decoded.elapsedZero126 = false;
    expectSteps(chrono, {{3126, 75, 0x10000 + 0x0115}});
}

TEST_F(InfoVarsTest, RadioFrequencyByModeWord)
{
    RadioFreqVar freq("RcpLa", 3022, 458, 2092, 4949);
    expectSteps(freq, {{3022, 118300, 11184810}, {4949, 1}, {2092, 0x1, 0x118300 + 16777216},
                       {2092, 0x8, 0x118300 + 33554432}, {3022, 8855, 0xAA8855 + 33554432}, // HF: leading zeros blank
                       {2092, 0x100, 12303291}, {2092, 0x2001, 59279496}, {2092, 0x1001, 11184810},
                       {2092, 0x1, 0x008855 + 16777216}, {3022, 0, 11184810},
                       {2092, 0x40, -1}}); // no radio selected: blank, as the zero frequency was
}

// The centre audio panel is bit 2 of Qi175, the right one bit 1.
TEST_F(InfoVarsTest, AudioPanelValuesNeedTheirPanelPowered)
{
    GatedValueVar cabin("CallFrCabin_C", 3731, 1, 2102);
    expectSteps(cabin, {{2102, 42, 0}, {2175, 0x4, 42}, {2107, 0x2000, 1}});
    AudioBitsVar bits("ReceiverSelR", 2108, 2);
    expectSteps(bits, {{2108, 0x5, 0}, {2175, 0x2, 5}, {2108, 0x2005, 8191}});
    AudioSelectVar mic("MicSelectL", 2109, 0);
    expectSteps(mic, {{2109, 3, 0}, {4926, 1, 3}, {2109, 0x2003, 1023}});
}

} // namespace
} // namespace brg
