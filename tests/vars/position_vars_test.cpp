#include "base/exceptions.h"
#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/catalogue.h"
#include "vars/var_types.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::IsEmpty;
using test::Elements;
using test::psxSent;

// A pool of our own holding a few collections and their positions, initialised as at start-up.
class PositionVarsTest : public test::FreshState {
protected:
    void SetUp() override
    {
        test::FreshState::SetUp();
        g_varPool = std::make_shared<VarPoolImpl>(VarPoolImpl::Builders{});
        VarPoolImpl& pool = *g_varPool;
        CatalogueOptions options;
        options.invert[InvertSmallFreqKnobR] = true;
        for (const CatalogueRow& row : std::initializer_list<CatalogueRow>{
                 {117, "TcasPanSel", VarType::QsListVar, {4}},
                 {3013, "TcasPanSelL", VarType::SwitchPositionVar, {117, 1, 0}},
                 {3014, "TcasPanSelR", VarType::SwitchPositionVar, {117, 1, 1}},
                 {1170, "GearLever", VarType::QhFirstItemVar},
                 {3771, "GearLeverUp", VarType::SwitchPositionVar, {1170, 0, 1}},
                 {1423, "EvacPush", VarType::QhTwoStateVar},
                 {3628, "EvacHornPush", VarType::ItemPushVar, {1423, 0}},
                 {3629, "EvacTestPress", VarType::ItemSwitchVar, {1423, 1}},
                 {113, "RotSelAudioL", VarType::QsListVar, {16}},
                 {3630, "AcpRotSelVHF_L_L", VarType::ItemClampVar, {0, 99, 113, 0}},
                 {357, "Brakes", VarType::QsListVar, {2}},
                 {3711, "ToeBrakeLeft", VarType::ItemBandVar, {0, 1000, 357, 0}},
                 {105, "WxRdrPanelTurn", VarType::WxTurnVar},
                 {3996, "TiltCp", VarType::ItemPotVar, {0}},
                 {111, "RotSelRcpR", VarType::QsTripletVar},
                 {3821, "BigSmallFreqKnobR", VarType::ItemEncoderVar, {8, 111, 0, InvertSmallFreqKnobR}},
                 {3437, "BigSmallFreqSwitchR", VarType::ItemSwitchVar, {111, 1}},
             })
            gf_addCatalogueVar(pool, row, options);
        for (auto& [number, var] : pool.vars)
            var->initialise();
        g_initPhase = false;
    }

    static Var& var(std::uint32_t number) { return *g_varPool->vars.at(number); }
};

TEST_F(PositionVarsTest, SwitchPositionsSetTheirItemOnlyWhenClosed)
{
    var(3014).setValue(1);
    EXPECT_EQ(g_qsStrings.get(117), "0;1;0;0");
    var(3013).setValue(0);
    var(3013).setValue(1);
    EXPECT_EQ(g_qsStrings.get(117), "0;0;0;0");
    var(3013).setValue(2); // not a contact state
    var(3771).setValue(1); // the short form sets item zero
    EXPECT_EQ(psxSent(), (Elements{{117, 0}, {117, 0}, {1170, 1}}));
}

TEST_F(PositionVarsTest, PushPositionIsMomentaryAndIgnoredDuringSynchronisation)
{
    g_initPhase = true;
    var(3628).setValue(1);
    EXPECT_THAT(psxSent(), IsEmpty());
    g_initPhase = false;
    var(3629).setValue(1);
    var(3628).setValue(0); // press and release both press
    EXPECT_EQ(psxSent(), (Elements{{1423, 2}, {1423, 3}}));
    EXPECT_EQ(var(3628).value, 0);
}

TEST_F(PositionVarsTest, ClampBandAndPotPositions)
{
    var(3630).setValue(150);
    EXPECT_EQ(g_qsStrings.get(113), "99;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0");

    var(3711).setValue(5); // the first report always goes out
    var(3711).setValue(14);
    var(3711).setValue(15);
    EXPECT_EQ(g_qsStrings.get(357), "15;0");
    EXPECT_EQ(psxSent().size(), 3u);

    var(3996).setValue(5000);
    EXPECT_EQ(var(3996).value, 4713);
    var(3996).setValue(4700); // within the dead band
    EXPECT_EQ(var(3996).value, 4713);
    EXPECT_EQ(g_qsStrings.get(105), "1;-6;0;-6");
}

TEST_F(PositionVarsTest, EncodersComposeTheRadioTuningText)
{
    var(3821).setValue(-3);
    var(3437).setValue(1);
    var(3821).setValue(-20);
    EXPECT_EQ(var(3821).value, 0);
    ItemEncoderVar inverted("SmallFreqKnobR", 3698, 8, 111, 0, false);
    inverted.initialise();
    inverted.setValue(5);
    EXPECT_EQ(test::psxTexts(), (test::Texts{{111, "0;0;-3"}, {111, "0;0;0"}, {111, "0;-8;0"}, {111, "0;-5;0"}}));
}

TEST_F(PositionVarsTest, MissingCollectionStopsStartUp)
{
    ItemSwitchVar orphan("EltL", 3778, 1224, 0);
    try {
        orphan.initialise();
        FAIL();
    } catch (const UserErrorException& e) {
        EXPECT_STREQ(e.what(), "100: Controlling_object 1224 is not present");
    }
    EXPECT_THROW(orphan.setValue(1), std::runtime_error); // never bound: no crash
}

} // namespace
} // namespace brg
