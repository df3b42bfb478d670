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
using test::Elements;
using test::psxSent;

class ControlVarsTest : public test::FreshState {
protected:
    void SetUp() override
    {
        test::FreshState::SetUp();
        g_initPhase = false;
    }
};

TEST_F(ControlVarsTest, SwitchesAcceptOnlyZeroAndOne)
{
    SwitchVar storm("LtStorm", 1006);
    for (std::int32_t v : {1, 2, -1, 0})
        storm.setValue(v);
    Switch12Var start("AutoStart1", 1220);
    for (std::int32_t v : {1, 0, 5})
        start.setValue(v);
    LinkedSwitchVar adf("CfgAdfUpCtrl", 5002, 2002);
    adf.setValue(1);
    adf.setValue(3);
    EXPECT_EQ(psxSent(), (Elements{{1006, 1}, {1006, 0}, {1220, 2}, {1220, 1}, {2002, 1}}));
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
    EXPECT_EQ(psxSent(), (Elements{{1015, 1}, {1015, 1}, {2230, 4}}));
    EXPECT_EQ(push.value, 0);
    EXPECT_EQ(menu.value, 0);
}

TEST_F(ControlVarsTest, ClampsAndDeadBands)
{
    ClampVar autobrake("Autobr", 1134, {-1, 5});
    autobrake.setValue(9);
    autobrake.setValue(-4);
    LinkedClampVar rwy("CfgNdRwyLimCtrl", 5029, 2029, {0, 5000});
    rwy.setValue(6000);
    BandVar band("TempCargo", 1308, {0, 1000});
    for (std::int32_t v : {500, 505, 510, 519, 2000})
        band.setValue(v);
    PotVar pot("LtOvhd", 1007);
    for (std::int32_t v : {5000, 4700, 4666})
        pot.setValue(v);
    EXPECT_EQ(psxSent(), (Elements{{1134, 5}, {1134, -1}, {2029, 5000}, {1308, 500}, {1308, 510}, {1308, 1000},
                                   {1007, 4713}, {1007, 4666}}));
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
    EXPECT_EQ(test::psxSteps(), (test::Steps{{1030, -6000}, {1078, -3}, {1078, -16}}));
    EXPECT_THAT(psxSent(), IsEmpty());
}

TEST_F(ControlVarsTest, KeyCodesPressCduKeysThroughTheKeyMap)
{
    KeyCodeVar cdu("KeybCduL", 1401);
    // DIG_0; KEY_CLR (released later through the element list); no key; beyond the map; KEY_ATC
    // alternating press and release.
    for (std::int32_t v : {7, 1, 40, 0, 89, -5, 76, 76, 76})
        cdu.setValue(v);
    EXPECT_EQ(psxSent(), (Elements{{1401, 0}, {1401, 39}, {1401, 60}, {1401, -1}, {1401, 60}}));
    EXPECT_THAT(g_psxElementList, ElementsAre(1401u));
}

TEST_F(ControlVarsTest, TransponderAndPanelKeys)
{
    CduKeyVar three("XpndrPshButton3", 3483, 3);
    three.setValue(1);
    three.setValue(0);
    CduKeyVar ident("XpndrPshButtonCLR", 3488, 12);
    for (std::int32_t v : {1, 0, 2})
        ident.setValue(v);
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
    EXPECT_EQ(psxSent(), (Elements{{1414, 3}, {1414, 3}, {1414, 12}, {1414, -1}, {1407, 0}, {1407, -1}, {1407, 5},
                                   {1410, 3}, {1410, 26}, {1410, -1}}));
}

TEST_F(ControlVarsTest, SelectorAndLinkedValue)
{
    SelectorVar sel("KeybCduL", 3401, 1401);
    for (std::int32_t v : {-2, 69, -1, 68})
        sel.setValue(v);
    LinkedValueVar doors("DoorOpenBitsCtrl", 5180, 2180);
    doors.setValue(123456);
    doors.sendValueToPsx(7);
    EXPECT_EQ(psxSent(), (Elements{{1401, -1}, {1401, 68}, {2180, 123456}, {2180, 7}}));
    EXPECT_EQ(doors.value, 123456);
}

TEST_F(ControlVarsTest, MessageWritesTheCautionTextAndRaisesTheEvent)
{
    MessageVar msg("MfAilLockout", 5237, 137);
    msg.setValue(2);
    EXPECT_EQ(g_qsStrings.get(137), "1;6;-99");
    EXPECT_EQ(psxSent(), (Elements{{137, 0}, {2130, 1}}));

    std::string before = gf_utcTimeOfDay();
    msg.setValue(6);
    std::string after = gf_utcTimeOfDay();
    std::erase(before, ':');
    std::erase(after, ':');
    EXPECT_THAT(g_qsStrings.get(137), AnyOf("1;6;" + before, "1;6;" + after));

    g_qsStrings.set(137, "2;6;-99");
    msg.setValue(0); // no severity: PSX's own stays
    msg.setValue(-3); // a negative remainder keeps it too
    EXPECT_EQ(g_qsStrings.get(137), "2;6;-99");
    msg.setValue(1);
    EXPECT_EQ(g_qsStrings.get(137), "0;6;-99");
}

} // namespace
} // namespace brg
