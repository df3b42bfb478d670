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
using test::siocSent;

class InfoVarsTest : public test::FreshState {
protected:
    void TearDown() override { cfg::SQUAWK_AS_INT.resetToDefault(); }

    // Sets the PSX value of `code`, refreshes, and returns what was sent (-1: nothing).
    static std::int64_t shown(Var& var, std::uint32_t code, std::uint32_t psxValue)
    {
        g_psxValues[code] = psxValue;
        return refreshed(var);
    }
    static std::int64_t refreshed(Var& var)
    {
        const std::size_t before = siocSent().size();
        var.refresh();
        const auto sent = siocSent();
        return sent.size() == before ? -1 : sent.back().value;
    }
    static std::uint32_t neg(std::int32_t v) { return static_cast<std::uint32_t>(v); }
};

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
    compass.setValue(100);
    compass.setValue(105);
    compass.setValue(94);
    EXPECT_THAT(siocSent(), ElementsAre(ChannelElement{4884, 250}, ChannelElement{4700, 3},
                                        ChannelElement{2214, 100}, ChannelElement{2214, 94}));
}

TEST_F(InfoVarsTest, McpWindowsConvertOnlyChangedValues)
{
    Bcd3DpVar spd("McpWdoSpd", 2032);
    EXPECT_EQ(shown(spd, 2032, 401), 0x1401);
    EXPECT_EQ(shown(spd, 2032, 951), 2730);
    EXPECT_EQ(refreshed(spd), -1);
    Bcd5Var alt("McpWdoAlt", 2035);
    EXPECT_EQ(shown(alt, 2035, 7), 0xAA700);
    EXPECT_EQ(shown(alt, 2035, 0), 0);
    EXPECT_EQ(shown(alt, 2035, 350), 0x35000);
}

TEST_F(InfoVarsTest, DisplayGateBlanksAndTestsTheLcdPanel)
{
    Bcd3Var hdg("McpWdoHdg", 2033);
    g_psxValues[2033] = 123;
    g_psxValues[2012] = 1;
    EXPECT_EQ(shown(hdg, 2036, 0), 2730);
    EXPECT_EQ(shown(hdg, 2036, 2), 2184);
    EXPECT_EQ(shown(hdg, 2036, 1), 0x123);
    Bcd5Var alt("McpWdoAlt", 2035);
    EXPECT_EQ(shown(alt, 2036, 2), 559240);
    g_psxValues[2012] = 0; // no LCD panel: the state is not looked at
    EXPECT_EQ(refreshed(alt), 0);
}

TEST_F(InfoVarsTest, VerticalSpeedIsSignedAndBlankWithoutVsMode)
{
    Bcd4bnVar vs("McpWdoVs", 2034);
    EXPECT_EQ(shown(vs, 2034, neg(-5)), 699050); // V/S mode off
    g_psxValues[1069] = 0x8;
    EXPECT_EQ(refreshed(vs), 0xAB500);
    EXPECT_EQ(shown(vs, 2034, neg(-12)), 0xB1200);
    EXPECT_EQ(shown(vs, 2034, 25), 0xA2500);
    EXPECT_EQ(shown(vs, 2034, neg(-150)), -1); // too wide: nothing new
}

TEST_F(InfoVarsTest, SquawkCodeAndDisplay)
{
    SquawkVar sq("SquawkIdent", 2204);
    EXPECT_EQ(shown(sq, 2204, 199999), -1);
    EXPECT_EQ(shown(sq, 2204, 200000), 0); // code 0000 without ident
    EXPECT_EQ(shown(sq, 2204, 207700), 0x7700);
    EXPECT_EQ(shown(sq, 2204, 210000), 0);
    cfg::SQUAWK_AS_INT.setRunning(true);
    EXPECT_EQ(shown(sq, 2204, 201200), 1200);

    SquawkDisplayVar disp("SquawkDispl", 118);
    EXPECT_EQ(refreshed(disp), 0xAAAA); // panel without power
    g_psxValues[4951] = 1;
    EXPECT_EQ(shown(disp, 3028, 1), 0x1AAA);
    EXPECT_EQ(shown(disp, 3028, 1234), 0x1234);
    EXPECT_EQ(shown(disp, 3028, neg(-1)), 0xAAAA);
    g_decoded.squawkDigitCount = 2;
    EXPECT_EQ(shown(disp, 3028, 0), 0xAA);
    g_decoded.squawkModeE = true;
    EXPECT_EQ(refreshed(disp), 0x8888);
    g_decoded.squawkModeP = true;
    EXPECT_EQ(refreshed(disp), 0xBBBB);
    g_decoded.squawkModeB = true;
    EXPECT_EQ(refreshed(disp), 0xAAAA);

    FlagVar fail("XpdrFail", 118);
    EXPECT_EQ(refreshed(fail), 0);
    g_decoded.squawkFlagL = true;
    EXPECT_EQ(refreshed(fail), 1);
}

TEST_F(InfoVarsTest, ClockAndChronographBlankWithoutPower)
{
    ClockVar time("TimeClockL", 3124, 4955, 124);
    EXPECT_EQ(shown(time, 3124, 1345), 43690);
    g_psxValues[4955] = 1;
    EXPECT_EQ(refreshed(time), 0x1345); // resent when the power returns
    EXPECT_EQ(refreshed(time), -1);

    g_psxValues[4955] = 0;
    ChronoVar chrono("ElapMinsL", 3126, 4955, 126);
    EXPECT_EQ(refreshed(chrono), 43690);
    g_psxValues[4955] = 1;
    g_psxValues[2124] = 1;
    EXPECT_EQ(shown(chrono, 3128, 125), 0xAAA2);
    EXPECT_EQ(shown(chrono, 3128, 3599), 0xAA59);
    EXPECT_EQ(shown(chrono, 3128, 3700), 0x10000 + 0xA101); // 1 h 1 min, never 1:61
    g_psxValues[2124] = 0;
    EXPECT_EQ(refreshed(chrono), 43690); // elapsed time still "0"
    g_decoded.elapsedZero126 = false;
    EXPECT_EQ(shown(chrono, 3126, 75), 0x10000 + 0x0115);
}

TEST_F(InfoVarsTest, RadioFrequencyByModeWord)
{
    RadioFreqVar freq("RcpLa", 3022, 458, 2092, 4949);
    g_psxValues[3022] = 118300;
    EXPECT_EQ(refreshed(freq), 11184810);
    g_psxValues[4949] = 1;
    EXPECT_EQ(shown(freq, 2092, 0x1), 0x118300 + 16777216);
    EXPECT_EQ(shown(freq, 2092, 0x8), 0x118300 + 33554432);
    EXPECT_EQ(shown(freq, 3022, 8855), 0xAA8855 + 33554432); // HF: leading zeros blank
    EXPECT_EQ(shown(freq, 2092, 0x100), 12303291);
    EXPECT_EQ(shown(freq, 2092, 0x2001), 59279496);
    EXPECT_EQ(shown(freq, 2092, 0x1001), 11184810);
    EXPECT_EQ(shown(freq, 2092, 0x1), 0x008855 + 16777216);
    EXPECT_EQ(shown(freq, 3022, 0), 11184810);
    EXPECT_EQ(shown(freq, 2092, 0x40), -1); // no radio selected: blank, as the zero frequency was
}

TEST_F(InfoVarsTest, AudioPanelValuesNeedTheirPanelPowered)
{
    GatedValueVar cabin("CallFrCabin_C", 3731, 1, 2102);
    g_psxValues[2102] = 42;
    EXPECT_EQ(refreshed(cabin), 0);
    g_psxValues[2175] = 0x4; // the centre panel is bit 2
    EXPECT_EQ(refreshed(cabin), 42);
    g_psxValues[2107] = 0x2000;
    EXPECT_EQ(refreshed(cabin), 1);

    AudioBitsVar bits("ReceiverSelR", 2108, 2);
    EXPECT_EQ(shown(bits, 2108, 0x5), 0);
    g_psxValues[2175] = 0x2; // the right panel is bit 1
    EXPECT_EQ(refreshed(bits), 5);
    EXPECT_EQ(shown(bits, 2108, 0x2005), 8191);

    AudioSelectVar mic("MicSelectL", 2109, 0);
    EXPECT_EQ(shown(mic, 2109, 3), 0);
    g_psxValues[4926] = 1;
    EXPECT_EQ(refreshed(mic), 3);
    EXPECT_EQ(shown(mic, 2109, 0x2003), 1023);
}

} // namespace
} // namespace brg
