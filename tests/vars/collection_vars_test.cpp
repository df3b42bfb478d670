#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/collection_vars.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using test::psxSent;
using CollectionVarsTest = test::FreshState;

std::vector<std::pair<std::uint32_t, std::string>> drainStrings()
{
    std::vector<std::pair<std::uint32_t, std::string>> out;
    while (auto entry = g_psxStringQueue.tryPop())
        out.push_back(*entry);
    return out;
}

TEST_F(CollectionVarsTest, QsListJoinsItemsIntoItsTextAndAsksForTheQsLine)
{
    QsListVar tcas("TcasPanSel", 117, 4);
    tcas.setItem(1, 1);
    tcas.setItem(3, -2);
    EXPECT_EQ(g_qsStrings.get(117), "0;1;0;-2");
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{117, 0}, ChannelElement{117, 0}));
    EXPECT_EQ(tcas.description(), "Collection of 4...");
    EXPECT_EQ(tcas.psxCodeText(), "");
    EXPECT_THROW(tcas.setItem(4, 1), std::out_of_range);
}

TEST_F(CollectionVarsTest, QueuedListSendsEachKnobStepOnceThroughTheStringQueue)
{
    QsQueuedListVar rcp("RotSelRcpL", 109);
    rcp.setItem(1, 3);
    rcp.setItem(2, -1);
    EXPECT_THAT(drainStrings(), ElementsAre(std::pair<std::uint32_t, std::string>{109, "0;3;0"},
                                            std::pair<std::uint32_t, std::string>{109, "0;0;-1"}));
    EXPECT_THAT(psxSent(), IsEmpty());
}

TEST_F(CollectionVarsTest, TripletPutsTheStepInTheFieldItsSwitchChooses)
{
    QsTripletVar rcp("RotSelRcpR", 111);
    rcp.setItem(0, -3);
    rcp.setItem(1, 1); // the switch alone: the step was consumed
    rcp.setItem(0, -3);
    EXPECT_THAT(drainStrings(), ElementsAre(std::pair<std::uint32_t, std::string>{111, "0;0;-3"},
                                            std::pair<std::uint32_t, std::string>{111, "0;0;0"},
                                            std::pair<std::uint32_t, std::string>{111, "0;-3;0"}));
}

TEST_F(CollectionVarsTest, LetterStringSwitchesCaseOfItsLettersOnly)
{
    QsLetterVar panel("P71A", 4, 6);
    g_qsStrings.set(4, "nYBxRq");
    panel.setItem(0, 1); // n -> N; the items still at 0 turn Y and B to lower case
    EXPECT_EQ(g_qsStrings.get(4), "NybxRq");
    panel.setItem(2, 1);
    panel.setItem(3, 1); // x stays
    panel.setItem(4, 0); // R stays
    panel.setItem(5, 1); // q is no switch letter
    EXPECT_EQ(g_qsStrings.get(4), "NyBxRq");
    panel.setItem(0, 7); // neither on nor off
    EXPECT_EQ(g_qsStrings.get(4), "NyBxRq");
    EXPECT_EQ(psxSent().size(), 6u);
}

TEST_F(CollectionVarsTest, LetterStringShorterThanItsItemsLeavesTheMissingCharactersAlone)
{
    QsLetterVar panel("P72D", 16, 13);
    panel.setItem(12, 1);
    EXPECT_EQ(g_qsStrings.get(16), "");
    g_qsStrings.set(16, "nb");
    panel.setItem(1, 1);
    EXPECT_EQ(g_qsStrings.get(16), "nB");
}

TEST_F(CollectionVarsTest, FlightControlsTakeTheAxesThatPsxStillOwns)
{
    FltControlsVar flt("FltControls");
    EXPECT_EQ(flt.number, 120u);
    flt.setItem(0, 500);
    EXPECT_EQ(g_qsStrings.get(120), "500;0;0");
    g_decoded.qs120Fields[1] = -20;
    g_decoded.qs120Fields[2] = 7;
    flt.sendToPsx();
    EXPECT_EQ(g_qsStrings.get(120), "500;-20;7");

    BrakesVar brakes("Brakes");
    EXPECT_EQ(brakes.number, 357u);
    g_decoded.qs357Fields[0] = 1000;
    brakes.setItem(1, 300);
    EXPECT_EQ(g_qsStrings.get(357), "1000;300");
}

TEST_F(CollectionVarsTest, WeatherRadarPanelTexts)
{
    WxPushVar push("WxRdrPanelPush");
    push.setItem(0, 1);
    push.setItem(1, 1);
    push.setItem(5, 3);
    EXPECT_EQ(g_qsStrings.get(104), "FwTMgAREFWTmG");
    push.setItem(5, 9); // no mode: its letters are left out
    EXPECT_EQ(g_qsStrings.get(104), "FwTMgAREG");

    WxTurnVar turn("WxRdrPanelTurn");
    EXPECT_EQ(turn.number, 105u);
    turn.setItem(0, 1);
    turn.setItem(1, 6);
    turn.setItem(2, 2);
    turn.setItem(3, 6);
    EXPECT_EQ(g_qsStrings.get(105), "1;0;2;0");
}

TEST_F(CollectionVarsTest, FireHandleBitsTakeOnlyTheFirstDischargePosition)
{
    QhBitsVar fire("FireEng1", 1275);
    fire.setItem(0, 1);
    fire.setItem(7, 1);
    fire.setItem(8, 1);
    EXPECT_EQ(psxSent().back(), (ChannelElement{1275, 129}));
    fire.setItem(7, 0);
    fire.setItem(8, 0);
    fire.setItem(10, 1);
    fire.setItem(5, 1);
    EXPECT_EQ(psxSent().back(), (ChannelElement{1275, 1 + 32 + 1024}));
}

TEST_F(CollectionVarsTest, QhCombinations)
{
    QhTwoPushVar toga("ThrustTOGALeft", 1386);
    toga.setItem(1, 1);
    toga.setItem(0, 1);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1386, 2}, ChannelElement{1386, 1}));
    EXPECT_EQ(toga.value, 0);

    gf_resetProcessState();
    QhTwoStateVar evac("EvacPush", 1423);
    evac.setItem(1, 1);
    evac.setItem(0, 1);
    evac.sendToPsx(); // the push was consumed, the switch stays
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1423, 2}, ChannelElement{1423, 3}, ChannelElement{1423, 2}));

    gf_resetProcessState();
    QhPlus8Var plus8("EvacLight", 1424);
    plus8.setItem(0, 3);
    plus8.setItem(1, 1);
    QhFirstItemVar first("GearLever", 1170);
    first.setItem(0, 2);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1424, 3}, ChannelElement{1424, 11}, ChannelElement{1170, 2}));
}

TEST_F(CollectionVarsTest, ThreeWayTogglesAndTheirCentre)
{
    QhThreeWayVar beacon("LtBeacon", 1178);
    QhThreeWay25Var elt("Elt", 1224);
    beacon.sendToPsx();
    beacon.setItem(1, 1);
    beacon.setItem(0, 1);
    elt.sendToPsx();
    elt.setItem(1, 1);
    elt.setItem(0, 1);
    EXPECT_THAT(psxSent(), ElementsAre(ChannelElement{1178, 0}, ChannelElement{1178, 1}, ChannelElement{1178, -1},
                                       ChannelElement{1224, 5}, ChannelElement{1224, 0}, ChannelElement{1224, 2}));
    EXPECT_EQ(beacon.value, -1);
}

} // namespace
} // namespace brg
