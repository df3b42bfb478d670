#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/collection_vars.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::IsEmpty;
using test::Elements;
using test::psxSent;
using test::psxTexts;
using test::Texts;
using CollectionVarsTest = test::FreshState;

TEST_F(CollectionVarsTest, QsListJoinsItemsIntoItsTextAndAsksForTheQsLine)
{
    QsListVar tcas("TcasPanSel", 117, 4);
    tcas.setItem(1, 1);
    tcas.setItem(3, -2);
    EXPECT_EQ(g_qsStrings.get(117), "0;1;0;-2");
    EXPECT_EQ(psxSent(), (Elements{{117, 0}, {117, 0}}));
    EXPECT_THROW(tcas.setItem(4, 1), std::out_of_range);
}

TEST_F(CollectionVarsTest, KnobStepsGoOnceThroughTheStringQueue)
{
    QsQueuedListVar rcp("RotSelRcpL", 109);
    rcp.setItem(1, 3);
    rcp.setItem(2, -1);
    QsTripletVar triplet("RotSelRcpR", 111); // the step goes in the field its switch chooses
    triplet.setItem(0, -3);
    triplet.setItem(1, 1); // the switch alone: the step was consumed
    triplet.setItem(0, -3);
    EXPECT_EQ(psxTexts(), (Texts{{109, "0;3;0"}, {109, "0;0;-1"}, {111, "0;0;-3"}, {111, "0;0;0"}, {111, "0;-3;0"}}));
    EXPECT_THAT(psxSent(), IsEmpty());
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
    panel.setItem(0, 7); // neither on nor off
    EXPECT_EQ(g_qsStrings.get(4), "NyBxRq");
    EXPECT_EQ(psxSent().size(), 6u);

    QsLetterVar longer("P72D", 16, 13); // more items than PSX's text has characters
    longer.setItem(12, 1);
    EXPECT_EQ(g_qsStrings.get(16), "");
    g_qsStrings.set(16, "nb");
    longer.setItem(1, 1);
    EXPECT_EQ(g_qsStrings.get(16), "nB");
}

TEST_F(CollectionVarsTest, FlightControlsAndBrakesTakeTheAxesThatPsxStillOwns)
{
    FltControlsVar flt("FltControls");
    flt.setItem(0, 500);
    EXPECT_EQ(g_qsStrings.get(120), "500;0;0");
    g_decoded.qs120Fields[1] = -20;
    g_decoded.qs120Fields[2] = 7;
    flt.sendToPsx();
    EXPECT_EQ(g_qsStrings.get(120), "500;-20;7");

    BrakesVar brakes("Brakes");
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
    for (auto [item, v] : {std::pair{0, 1}, {1, 6}, {2, 2}, {3, 6}})
        turn.setItem(item, v);
    EXPECT_EQ(g_qsStrings.get(105), "1;0;2;0");
}

TEST_F(CollectionVarsTest, QhCombinations)
{
    QhBitsVar fire("FireEng1", 1275); // only the first discharge position counts
    for (auto [item, v] : {std::pair{0, 1}, {7, 1}, {8, 1}, {7, 0}, {8, 0}, {10, 1}, {5, 1}})
        fire.setItem(item, v);
    EXPECT_EQ(psxSent()[2], (ChannelElement{1275, 129}));
    EXPECT_EQ(psxSent().back(), (ChannelElement{1275, 1 + 32 + 1024}));

    gf_resetProcessState();
    QhTwoPushVar toga("ThrustTOGALeft", 1386);
    toga.setItem(1, 1);
    toga.setItem(0, 1);
    QhTwoStateVar evac("EvacPush", 1423);
    evac.setItem(1, 1);
    evac.setItem(0, 1);
    evac.sendToPsx(); // the push was consumed, the switch stays
    QhPlus8Var plus8("EvacLight", 1424);
    plus8.setItem(0, 3);
    plus8.setItem(1, 1);
    QhFirstItemVar first("GearLever", 1170);
    first.setItem(0, 2);
    EXPECT_EQ(psxSent(), (Elements{{1386, 2}, {1386, 1}, {1423, 2}, {1423, 3}, {1423, 2}, {1424, 3}, {1424, 11},
                                   {1170, 2}}));
    EXPECT_EQ(toga.value, 0);

    gf_resetProcessState();
    QhThreeWayVar beacon("LtBeacon", 1178);
    QhThreeWay25Var elt("Elt", 1224);
    beacon.sendToPsx();
    beacon.setItem(1, 1);
    beacon.setItem(0, 1);
    elt.sendToPsx();
    elt.setItem(1, 1);
    elt.setItem(0, 1);
    EXPECT_EQ(psxSent(), (Elements{{1178, 0}, {1178, 1}, {1178, -1}, {1224, 5}, {1224, 0}, {1224, 2}}));
    EXPECT_EQ(beacon.value, -1);
}

} // namespace
} // namespace brg
