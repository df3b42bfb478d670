#include "base/utc_time.h"
#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/control_vars.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using test::psxSent;

class ControlVarsTest : public test::FreshState {
protected:
    void SetUp() override
    {
        test::FreshState::SetUp();
        g_initPhase = false;
    }

    static std::vector<std::pair<std::uint32_t, std::int32_t>> drainValues()
    {
        std::vector<std::pair<std::uint32_t, std::int32_t>> out;
        while (auto entry = g_psxValueQueue.tryPop())
            out.push_back(*entry);
        return out;
    }
};

TEST_F(ControlVarsTest, SwitchesAcceptOnlyZeroAndOne)
{
    SwitchVar storm("LtStorm", 1006);
    storm.setValue(1);
    storm.setValue(2);
    storm.setValue(-1);
    storm.setValue(0);
    Switch12Var start("AutoStart1", 1220);
    start.setValue(1);
    start.setValue(0);
    start.setValue(5);
    LinkedSwitchVar adf("CfgAdfUpCtrl", 5002, 2002);
    adf.setValue(1);
    adf.setValue(3);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1006, 1}, ChannelElement{1006, 0}, ChannelElement{1220, 2},
                                       ChannelElement{1220, 1}, ChannelElement{2002, 1}));
    EXPECT_EQ(storm.description(), "A");
    EXPECT_EQ(adf.psxCodeText(), "Qi2");
}

TEST_F(ControlVarsTest, MomentaryTypesIgnoreReportsDuringSynchronisation)
{
    PushVar push("EcpWxrCp", 1015);
    LinkedPushVar menu("SelCduMenuCtrl", 5230, 2230);
    g_initPhase = true;
    push.setValue(1);
    menu.setValue(4);
    EXPECT_THAT(psxSent(), IsEmpty());

    g_initPhase = false;
    push.setValue(1);
    push.setValue(0); // the release is a press too
    push.setValue(2);
    menu.setValue(4);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1015, 1}, ChannelElement{1015, 1}, ChannelElement{2230, 4}));
    EXPECT_EQ(push.value, 0);
    EXPECT_EQ(menu.value, 0);
    EXPECT_EQ(push.description(), "M");
}

TEST_F(ControlVarsTest, ClampsAndDeadBands)
{
    ClampVar autobrake("Autobr", 1134, {-1, 5});
    autobrake.setValue(9);
    autobrake.setValue(-4);
    LinkedClampVar rwy("CfgNdRwyLimCtrl", 5029, 2029, {0, 5000});
    rwy.setValue(6000);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1134, 5}, ChannelElement{1134, -1}, ChannelElement{2029, 5000}));
    EXPECT_EQ(autobrake.description(), "[-1..5]");
    EXPECT_EQ(rwy.description(), "[0..5000]");

    gf_resetProcessState();
    BandVar band("TempCargo", 1308, {0, 1000});
    EXPECT_EQ(band.band, 10);
    band.setValue(500);
    band.setValue(505);
    band.setValue(511);
    band.setValue(2000);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1308, 500}, ChannelElement{1308, 511}, ChannelElement{1308, 1000}));
    EXPECT_EQ(band.description(), "[0.%.1000]");

    gf_resetProcessState();
    PotVar pot("LtOvhd", 1007);
    pot.setValue(5000);
    pot.setValue(4700);
    pot.setValue(4666);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1007, 4713}, ChannelElement{1007, 4666}));
    EXPECT_EQ(pot.description(), "P270");
}

TEST_F(ControlVarsTest, EncoderStepsGoThroughTheValueQueue)
{
    EncoderVar inverted("EcpBaroCp", 1030, 6000, false);
    inverted.setValue(7000);
    EXPECT_EQ(inverted.value, 0);
    inverted.setValue(0);
    EncoderVar plain("McpTurnHdg", 1078, 16, true);
    plain.setValue(-3);
    plain.setValue(-40);
    EXPECT_THAT(drainValues(), ElementsAre(std::pair<std::uint32_t, std::int32_t>{1030, -6000},
                                           std::pair<std::uint32_t, std::int32_t>{1078, -3},
                                           std::pair<std::uint32_t, std::int32_t>{1078, -16}));
    EXPECT_THAT(psxSent(), IsEmpty());
    EXPECT_EQ(plain.description(), "e");
}

TEST_F(ControlVarsTest, KeyCodesPressCduKeysThroughTheKeyMap)
{
    KeyCodeVar cdu("KeybCduL", 1401);
    cdu.setValue(7);  // DIG_0
    cdu.setValue(1);  // KEY_CLR, released later through the element list
    cdu.setValue(40); // no key
    cdu.setValue(0);
    cdu.setValue(89); // beyond the map
    cdu.setValue(-5);
    cdu.setValue(76); // KEY_ATC alternates press and release
    cdu.setValue(76);
    cdu.setValue(76);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1401, 0}, ChannelElement{1401, 39}, ChannelElement{1401, 60},
                                       ChannelElement{1401, -1}, ChannelElement{1401, 60}));
    EXPECT_THAT(g_psxElementList, ElementsAre(1401u));
    EXPECT_EQ(cdu.description(), "K");
}

TEST_F(ControlVarsTest, TransponderAndPanelKeys)
{
    CduKeyVar three("XpndrPshButton3", 3483, 3);
    three.setValue(1);
    three.setValue(0);
    CduKeyVar ident("XpndrPshButtonCLR", 3488, 12);
    ident.setValue(1);
    ident.setValue(0);
    ident.setValue(2);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1414, 3}, ChannelElement{1414, 3}, ChannelElement{1414, 12},
                                       ChannelElement{1414, -1}));
    EXPECT_EQ(three.description(), "M");
    EXPECT_EQ(ident.description(), "H");
    EXPECT_EQ(ident.psxCodeText(), "Qh414");

    gf_resetProcessState();
    KeyPushVar rcp0("RcpPshButtonL0", 3600, 0, 1407);
    KeyPushVar rcp5("RcpPshButtonL5", 3605, 5, 1407);
    rcp0.setValue(1);
    rcp0.setValue(0);
    rcp5.setValue(0);
    KeyPush23Var acp3("AcpPshButtonL3", 3503, 3, 1410);
    KeyPush23Var acp26("AcpPshButtonL26", 3526, 26, 1410);
    acp3.setValue(0);
    acp26.setValue(1);
    acp26.setValue(0);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1407, 0}, ChannelElement{1407, -1}, ChannelElement{1407, 5},
                                       ChannelElement{1410, 3}, ChannelElement{1410, 26}, ChannelElement{1410, -1}));
    EXPECT_EQ(rcp0.description(), "H");
    EXPECT_EQ(rcp5.description(), "M");
    EXPECT_EQ(acp3.description(), "M");
    EXPECT_EQ(acp26.description(), "H");
    EXPECT_EQ(acp26.psxCodeText(), "Qh410");
}

TEST_F(ControlVarsTest, SelectorAndLinkedValue)
{
    SelectorVar sel("KeybCduL", 3401, 1401);
    sel.setValue(-2);
    sel.setValue(69);
    sel.setValue(-1);
    sel.setValue(68);
    LinkedValueVar doors("DoorOpenBitsCtrl", 5180, 2180);
    doors.setValue(123456);
    doors.sendValueToPsx(7);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1401, -1}, ChannelElement{1401, 68},
                                       ChannelElement{2180, 123456}, ChannelElement{2180, 7}));
    EXPECT_EQ(doors.value, 123456);
    EXPECT_EQ(sel.description(), "-1..68");
    EXPECT_EQ(doors.description(), "Qcode value");
}

TEST_F(ControlVarsTest, MessageWritesTheCautionTextAndRaisesTheEvent)
{
    MessageVar msg("MfAilLockout", 5237, 137);
    msg.setValue(2);
    EXPECT_EQ(g_qsStrings.get(137), "1;6;-99");
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{137, 0}, ChannelElement{2130, 1}));

    std::string before = gf_utcTimeOfDay();
    msg.setValue(6);
    std::string after = gf_utcTimeOfDay();
    std::erase(before, ':');
    std::erase(after, ':');
    EXPECT_THAT(g_qsStrings.get(137), AnyOf("1;6;" + before, "1;6;" + after));

    g_qsStrings.set(137, "2;6;-99");
    msg.setValue(0); // no severity: PSX's own stays
    EXPECT_EQ(g_qsStrings.get(137), "2;6;-99");
    msg.setValue(-3); // a negative remainder keeps it too
    EXPECT_EQ(g_qsStrings.get(137), "2;6;-99");
    msg.setValue(1);
    EXPECT_EQ(g_qsStrings.get(137), "0;6;-99");
    EXPECT_EQ(msg.psxCodeText(), "Qs137");
    EXPECT_EQ(msg.description(), "bits 0 & 1: Severity, b 2: Set/Clear MF");
}

} // namespace
} // namespace brg
