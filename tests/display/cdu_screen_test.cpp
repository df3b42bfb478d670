#include "base/log.h"
#include "display/cdu_screen.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using test::readFile;

// A text line of a row becomes its 24 glyphs and 24 size markers ('+' large, '-' small).
TEST(CduLines, TextLinesArePaddedAndMarkedWithTheirSize)
{
    const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWX";
    const std::string someMarkers = full + "+-+-+-";
    const std::string whole = full + std::string(24, '-') + "tail";
    const struct {
        std::uint32_t row;
        std::string text;
        std::string line;
    } rows[] = {
        {1, "ABC", "ABC" + std::string(21, ' ') + std::string(24, '+')},
        {5, "", kCduBlankPattern},
        {3, full, full + std::string(24, '-')},
        {4, full, full + std::string(24, '+')},
        {13, full, full + std::string(24, '+')},
        {0, full, full + std::string(24, '+')},
        {2, someMarkers, someMarkers + std::string(18, '-')},
        {2, whole, whole},
        // o takes b's place and b takes c's, not o → b → c; the markers keep their letters.
        {0, "obtulr_x" + std::string(16, 'A') + std::string(24, 'o'),
         "bcn^_e x" + std::string(16, 'A') + std::string(24, 'o')},
    };
    for (const auto& r : rows)
        EXPECT_EQ(gf_cduLargeLine(r.row, r.text), r.line) << r.row << " " << r.text;

    EXPECT_EQ(gf_cduColourLine("g"), std::string(24, 'g'));
    EXPECT_EQ(gf_cduColourLine("wwc"), "ww" + std::string(22, 'c'));
    EXPECT_EQ(gf_cduColourLine(""), "");
    EXPECT_EQ(gf_cduColourLine(std::string(30, 'r')), std::string(30, 'r'));
}

// Records every row drawn, with what it showed.
class RowLog : public CduRowPainter {
public:
    void clearScreen() override { events.push_back("clear"); }
    void drawRow(std::uint32_t row, const std::string& large, const std::string& colour) override
    {
        events.push_back(std::to_string(row) + ":" + large.substr(0, 24) + (colour.empty() ? "" : "/" + colour.substr(0, 24)));
    }
    std::vector<std::string> events;
};

class CduScreenTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_log.open();
        screen.reset(false);
    }
    static std::string row(const std::string& text) { return text + std::string(24 - text.size(), ' '); }
    std::vector<std::string> paint()
    {
        RowLog rows;
        screen.paint(rows);
        return rows.events;
    }

    CduScreen screen;
};

TEST_F(CduScreenTest, StaysDarkUntilUnblankedThenDrawsEveryRowWithTheTextsReceivedMeanwhile)
{
    screen.blankState(true);
    screen.largeLine(0, "TITLE");
    screen.largeLine(7, "ROW SEVEN");
    ASSERT_TRUE(screen.handOver());
    EXPECT_THAT(paint(), testing::ElementsAre("clear"));
    EXPECT_TRUE(screen.blanked());

    screen.blankState(false);
    ASSERT_TRUE(screen.handOver());
    const auto drawn = paint();
    ASSERT_EQ(drawn.size(), 14u);
    EXPECT_EQ(drawn[0], "0:" + row("TITLE"));
    EXPECT_EQ(drawn[7], "7:" + row("ROW SEVEN"));
    EXPECT_EQ(drawn[13], "13:" + row(""));
    EXPECT_EQ(readFile("Log.txt").find("BLANK screen\n") != std::string::npos, true);
}

TEST_F(CduScreenTest, OnlyRowsNamedByRecordsAreRedrawn)
{
    screen.blankState(false);
    screen.handOver();
    paint();
    screen.largeLine(4, "FOUR");
    screen.largeLine(9, "NINE");
    EXPECT_EQ(screen.paintList().size(), 0u); // waits for the next hand-over
    screen.handOver();
    // Each named row is erased, then drawn with its new text.
    EXPECT_THAT(paint(), testing::ElementsAre("4:" + row(""), "4:" + row("FOUR"), "9:" + row(""), "9:" + row("NINE")));
    // With nothing handed over, a paint (an uncovered window) draws the whole screen.
    EXPECT_EQ(paint().size(), 14u);
    EXPECT_FALSE(screen.handOver());
}

TEST_F(CduScreenTest, RecordsAWindowDidNotPaintAreKeptAheadOfNewOnes)
{
    screen.blankState(false);
    screen.handOver();
    screen.largeLine(2, "LOST?");
    screen.handOver();
    EXPECT_EQ(screen.paintList().size(), 2u);
    paint();
    EXPECT_EQ(screen.row(2).substr(0, 5), "LOST?");
}

TEST_F(CduScreenTest, ColourLinesFollowTheirRowsText)
{
    screen.reset(true);
    screen.blankState(false);
    screen.largeLine(1, "GREEN");
    screen.colourLine(1, "g");
    screen.handOver();
    const auto drawn = paint();
    EXPECT_EQ(drawn.back(), "1:" + row("GREEN") + "/" + std::string(24, 'g'));
    // A new text keeps the row's last colours.
    screen.largeLine(1, "AGAIN");
    screen.handOver();
    EXPECT_EQ(paint().back(), "1:" + row("AGAIN") + "/" + std::string(24, 'g'));
}

TEST_F(CduScreenTest, ReselectionReplacesWhatWaitsByTheOtherCdusWholeScreen)
{
    screen.largeLine(3, "OLD CDU");
    std::array<std::string, kCduRows> large{};
    std::array<std::string, kCduRows> colour{};
    large[0] = "CENTRE";
    colour[0] = "c";
    screen.reselect(large, colour, true, false);
    const auto pending = screen.pending();
    ASSERT_EQ(pending.size(), 16u);
    EXPECT_EQ(pending.front().code, kCduBlankCode);
    EXPECT_EQ(pending[1], (CduRecord{0, gf_cduLargeLine(0, "CENTRE"), std::string(24, 'c'), true}));
    EXPECT_EQ(pending.back().code, kCduUnblankCode);

    // Its colours show at once, not the previous CDU's.
    screen.reset(true);
    screen.handOver();
    const auto drawn = paint();
    EXPECT_EQ(drawn[1], "0:" + row("CENTRE") + "/" + std::string(24, 'c'));
}

TEST_F(CduScreenTest, BrokenRecordsAreLoggedOnceAndTheOtherRowsStillDrawn)
{
    screen.reset(true);
    screen.blankState(false);
    screen.handOver();
    paint();
    // A colour line for a row whose text never came leaves that row without text.
    screen.colourLine(5, "g");
    screen.largeLine(6, "SIX");
    screen.handOver();
    auto drawn = paint();
    EXPECT_EQ(drawn.back(), "6:" + row("SIX"));
    drawn = paint();
    EXPECT_EQ(drawn.size(), 13u);
    drawn = paint();
    EXPECT_EQ(readFile("Log.txt").find("? paintCdu: invalid string position\n") != std::string::npos, true);
    const std::string text = readFile("Log.txt");
    EXPECT_EQ(text.find("invalid string position"), text.rfind("invalid string position"));
}

TEST_F(CduScreenTest, RowsPastTheScreenAreRejectedInThePaint)
{
    // Without colours, codes 14 to 27 name no row.
    screen.blankState(false);
    screen.colourLine(0, "g");
    screen.largeLine(2, "TWO");
    screen.handOver();
    const auto drawn = paint();
    EXPECT_EQ(drawn.back(), "2:" + row("TWO"));
    EXPECT_NE(readFile("Log.txt").find("? paintCdu: CDU row out of range\n"), std::string::npos);
}

} // namespace
} // namespace brg
