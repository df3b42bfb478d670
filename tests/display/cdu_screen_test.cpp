#include "base/log.h"
#include "display/cdu_screen.h"
#include "display_fixture.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using test::contains;
using test::countOf;
using testing::ElementsAre;

TEST(CduLines, TextLinesArePaddedAndMarkedWithTheirSize)
{
    for (const auto& line : test::dataLines("cdu-lines.txt")) {
        const auto f = test::cells(line, 3); // row or "colour", text, stored
        const std::string stored = f[0] == "colour" ? gf_cduColourLine(f[1])
                                                    : gf_cduLargeLine(static_cast<std::uint32_t>(std::stoul(f[0])), f[1]);
        EXPECT_EQ(stored, f[2]) << line;
    }
}

// Paints into a list of the rows drawn: "clear", or "row:text" and "/colours" when it has them.
class CduScreenTest : public test::DisplayTest, public CduRowPainter {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        screen.reset(false);
    }
    void clearScreen() override { events.push_back("clear"); }
    void drawRow(std::uint32_t row, const std::string& large, const std::string& colour) override
    {
        events.push_back(std::to_string(row) + ":" + large.substr(0, 24) + (colour.empty() ? "" : "/" + colour.substr(0, 24)));
    }
    static std::string row(std::uint32_t n, const std::string& text, char colour = 0)
    {
        return std::to_string(n) + ":" + text + std::string(24 - text.size(), ' ') +
               (colour ? "/" + std::string(24, colour) : "");
    }
    std::vector<std::string> paint()
    {
        events.clear();
        screen.paint(*this);
        return events;
    }
    // Unblanked, handed over and painted once.
    void showBlank(bool withColour)
    {
        screen.reset(withColour);
        screen.blankState(false);
        screen.handOver();
        paint();
    }
    CduScreen screen;
    std::vector<std::string> events;
};

TEST_F(CduScreenTest, StaysDarkUntilUnblankedThenRedrawsOnlyTheRowsNamedByRecords)
{
    screen.blankState(true);
    screen.largeLine(0, "TITLE");
    screen.largeLine(7, "ROW SEVEN");
    ASSERT_TRUE(screen.handOver());
    EXPECT_THAT(paint(), ElementsAre("clear"));
    EXPECT_TRUE(screen.blanked());

    screen.blankState(false);
    ASSERT_TRUE(screen.handOver());
    const auto drawn = paint();
    ASSERT_EQ(drawn.size(), 14u);
    EXPECT_EQ(drawn[0], row(0, "TITLE"));
    EXPECT_EQ(drawn[7], row(7, "ROW SEVEN"));
    EXPECT_EQ(drawn[13], row(13, ""));
    EXPECT_TRUE(contains(log(), "BLANK screen\n"));

    // Then only the rows named by records are redrawn, and those not yet painted are kept.
    screen.largeLine(4, "FOUR");
    screen.largeLine(9, "NINE");
    EXPECT_TRUE(screen.paintList().empty()); // waits for the next hand-over
    screen.handOver();
    // A second hand-over before the window painted keeps the first one's records ahead.
    screen.largeLine(9, "NINE AGAIN");
    screen.handOver();
    // Each named row is erased, then drawn with its new text.
    EXPECT_THAT(paint(), ElementsAre(row(4, ""), row(4, "FOUR"), row(9, ""), row(9, "NINE"), row(9, ""),
                                     row(9, "NINE AGAIN")));
    // With nothing handed over, a paint (an uncovered window) draws the whole screen.
    EXPECT_EQ(paint().size(), 14u);
    EXPECT_FALSE(screen.handOver());
}

// A minimised window gets no paint for hours: what waits for it stays within one screen's worth,
// and the restore draws the screen as it is now, once.
TEST_F(CduScreenTest, AWindowThatDoesNotPaintKeepsAtMostOneScreenOfWork)
{
    showBlank(true);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        screen.largeLine(static_cast<std::uint32_t>(cycle % 14), "CYCLE " + std::to_string(cycle));
        screen.colourLine(3, cycle % 2 ? "g" : "c");
        if (cycle == 500)
            screen.blankState(true);
        if (cycle == 700)
            screen.blankState(false);
        screen.handOver();
        ASSERT_LE(screen.paintList().size(), kCduScreenRecords) << "cycle " << cycle;
    }
    EXPECT_FALSE(screen.blanked());
    // The restore erased the window: every row is drawn, once, as it is now.
    events.clear();
    screen.paint(*this, true);
    ASSERT_EQ(events.size(), 14u);
    EXPECT_EQ(events[13], row(13, "CYCLE 993"));
    EXPECT_EQ(events[3], row(3, "CYCLE 997", 'g'));
    EXPECT_EQ(events[5], row(5, "CYCLE 999"));
    EXPECT_TRUE(screen.paintList().empty());
    // A blanked screen stays dark.
    screen.blankState(true);
    screen.handOver();
    events.clear();
    screen.paint(*this, true);
    EXPECT_THAT(events, ElementsAre("clear"));
}

// A colour line for a row whose text never came, and a colour code on a screen without colours
// (codes 14 to 27 then name no row): each fault is logged once and the other rows are drawn.
TEST_F(CduScreenTest, BrokenRecordsAreLoggedOnceAndTheOtherRowsStillDrawn)
{
    showBlank(true);
    screen.colourLine(5, "g");
    screen.largeLine(6, "SIX");
    screen.handOver();
    EXPECT_EQ(paint().back(), row(6, "SIX"));
    EXPECT_EQ(paint().size(), 13u);
    paint();
    EXPECT_EQ(countOf(log(), "? paintCdu: invalid string position\n"), 1u);
    // Colours follow their row's text, and a new text keeps the row's last colours.
    screen.largeLine(1, "GREEN");
    screen.colourLine(1, "g");
    screen.handOver();
    EXPECT_EQ(paint().back(), row(1, "GREEN", 'g'));
    screen.largeLine(1, "AGAIN");
    screen.handOver();
    EXPECT_EQ(paint().back(), row(1, "AGAIN", 'g'));

    showBlank(false);
    screen.colourLine(0, "g");
    screen.largeLine(2, "TWO");
    screen.handOver();
    EXPECT_EQ(paint().back(), row(2, "TWO"));
    EXPECT_TRUE(contains(log(), "? paintCdu: CDU row out of range\n"));
}

} // namespace
} // namespace brg
