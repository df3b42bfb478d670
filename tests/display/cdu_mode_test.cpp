#include "app/process_state.h"
#include "config/config_items.h"
#include "display/cdu_canvas.h"
#include "display/cdu_screen.h"
#include "display_fixture.h"

#include <algorithm>
#include <cstdio>

namespace brg {
namespace {

using namespace test;
using Calls = std::vector<std::string>;

// The default layout: a 900 x 650 window, 14 rows of 36 pixels from y 50, 24 columns of 25 from x 100.
class CduMode : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        writeFile("Talvesync.cfg", "MAIN_WINDOW_X=100\nMAIN_WINDOW_Y=50\nMAIN_CDU_WINDOW_X=1500\nMAIN_CDU_WINDOW_Y=60\n");
        cfg::MAIN_WINDOW_X.read();
        cfg::MAIN_WINDOW_Y.read();
        cfg::CDU_L.setRunning(true);
        cfg::CDU_BOLD.setRunning(false); // one text per glyph
        host->position = {100, 50};
    }
    // What a row shows: the last glyph drawn in each column, large or small.
    static std::string rowText(const RecordingWindow& canvas, int row)
    {
        std::string text(24, '-');
        for (const auto& call : canvas.of("text ")) {
            int x = 0, y = 0;
            std::sscanf(call.c_str(), "text %d %d", &x, &y);
            if (y == 50 + 36 * row || y == 50 + 36 * row + 7)
                text.at(static_cast<std::size_t>((x - 100) / 25)) = call.back();
        }
        return text;
    }
};

// Fonts that cannot be created are logged and the mode goes on in the window's font.
TEST_F(CduMode, EnteringMovesTheWindowKeepsItsPlaceAndCreatesTheFonts)
{
    host->fontsAvailable = false;
    host->position = {230, 140};
    display->setCduMode(true);
    display->setCduMode(true);
    EXPECT_TRUE(display->cduModeActive());
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 230);
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 140);
    // In memory only: the file keeps the user's values until the program ends.
    EXPECT_TRUE(contains(readFile("Talvesync.cfg"), "MAIN_WINDOW_X=100\n"));
    // Moved without taking the caption away (CDU_BORDER is on), then repainted at once: a dark
    // screen until PSX unblanks it.
    EXPECT_EQ(host->calls, (Calls{"move 1500 60 900 650", "font 1 AEROWINX MCDU SMALL -44 25",
                                  "font 2 AEROWINX MCDU LARGE -44 25", "invalidate all", "minimum width 25",
                                  "fill 0 0 900 650 black"}));
    EXPECT_TRUE(contains(log(), "Talvesync window changed into CDU screen.\n"));

    EXPECT_TRUE(contains(log(), "? hFontSmall_ == NULL\n? hFontLarge_  == NULL\n"));
    display->cduBlankState(0, false);
    display->cduHandOver();
    EXPECT_EQ(host->of("text").size(), 14u * 24u);
    EXPECT_TRUE(host->of("select").empty());
}

// Leaving keeps where the CDU screen was and moves back; a minimised window (far outside) changes
// neither stored place.
TEST_F(CduMode, LeavingStoresTheCduPlaceUnlessMinimisedAndMovesBack)
{
    const struct {
        WindowPoint enter, leave;
        const char* stored;
    } rows[] = {
        {{-32000, -32000}, {-32000, 30001}, "MAIN_CDU_WINDOW_X=1500\nMAIN_CDU_WINDOW_Y=60\n"},
        {{100, 50}, {1600, 70}, "MAIN_CDU_WINDOW_X=1600\nMAIN_CDU_WINDOW_Y=70\n"},
    };
    for (const auto& row : rows) {
        host->position = row.enter;
        display->setCduMode(true);
        EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 100);
        host->position = row.leave;
        display->setCduMode(false);
        EXPECT_FALSE(display->cduModeActive());
        EXPECT_EQ(host->of("move").back(), "move 100 50 720 236");
        EXPECT_TRUE(contains(readFile("Talvesync.cfg"), row.stored)) << readFile("Talvesync.cfg");
    }
    EXPECT_EQ(countOf(log(), "Talvesync window back to normal.\n"), 2u);
    EXPECT_NE(host->textAt(290, 7), "-"); // the status panel is painted again

    // Without a border in CDU mode, the status window gets its title bar and frame back.
    cfg::CDU_BORDER.setRunning(false);
    host->calls.clear();
    display->setCduMode(true);
    display->setCduMode(false);
    EXPECT_EQ(host->of("no caption").size(), 1u);
    const auto restored = std::find(host->calls.begin(), host->calls.end(), "caption again");
    ASSERT_NE(restored, host->calls.end());
    EXPECT_EQ(*std::next(restored), "move 100 50 720 236");
}

TEST_F(CduMode, RowsAreDrawnGlyphByGlyphInTheirFontAndPlace)
{
    display->setCduMode(true);
    display->cduBlankState(0, false);
    display->cduLargeLine(0, 3, "SMALL ROW THREE XXXXXXXX");
    display->cduLargeLine(2, 3, "NOT SHOWN");
    display->cduHandOver();
    // Erased with blanks in the large font, then drawn in the small one.
    EXPECT_EQ(host->of("text 100 165 "), Calls{"text 100 165 lime/black opaque small: S"});
    EXPECT_EQ(host->textAt(125, 165), "lime/black opaque small: M");
    EXPECT_EQ(rowText(*host, 3), "SMALL ROW THREE XXXXXXXX");
    // Fonts are selected only when they change.
    const auto fonts = host->of("select");
    EXPECT_EQ(std::adjacent_find(fonts.begin(), fonts.end()), fonts.end());
}

// A font taller than a row (a substitute, or a large CDU_FONTSIZE) must not paint over the rows
// next to it: every glyph of a row, bold strokes too, is drawn inside that row's band.
TEST_F(CduMode, EachRowIsDrawnInsideItsOwnBand)
{
    cfg::CDU_BOLD.setRunning(true);
    display->setCduMode(true);
    display->cduBlankState(0, false);
    display->cduHandOver();
    display->cduLargeLine(0, 5, "FIVE");
    display->cduHandOver();
    bool clipped = false;
    int bandTop = 0, bandBottom = 0;
    int texts = 0;
    for (const auto& call : host->calls) {
        int left = 0, top = 0, right = 0, bottom = 0, x = 0, y = 0;
        if (call == "clip none")
            clipped = false;
        else if (std::sscanf(call.c_str(), "clip %d %d %d %d", &left, &top, &right, &bottom) == 4) {
            clipped = true;
            bandTop = top;
            bandBottom = bottom;
            EXPECT_EQ(left, 0);
            EXPECT_EQ(right, 900);
            EXPECT_EQ(bottom - top, 36);
        } else if (std::sscanf(call.c_str(), "text %d %d", &x, &y) == 2) {
            ++texts;
            ASSERT_TRUE(clipped) << call;
            EXPECT_EQ((bandTop - 50) % 36, 0) << call;
            EXPECT_TRUE(y >= bandTop && y < bandBottom) << call;
        }
    }
    EXPECT_EQ(texts, (14 + 2) * 24 * 3);
    EXPECT_EQ(host->calls.back(), "clip none"); // nothing else of the paint stays clipped
}

TEST_F(CduMode, ColourCodesAndBoldGlyphs)
{
    RecordingWindow canvas;
    CduLayout layout;
    layout.withColour = true;
    layout.bold = true;
    layout.columnWidth = 20;
    CduCanvasPainter painter(canvas, layout);
    painter.myTextOutCh(10, 20, 'A', 'y');
    painter.myTextOutCh(30, 20, ' ', 'g');
    painter.myTextOutCh(50, 20, 'B', ' ');
    painter.myTextOutCh(70, 20, '\xFF', 'r');
    // Every glyph erases its whole column, also one of a font narrower than the column. White on
    // grey, twice more shifted by a pixel over a transparent background; a blank stays opaque so
    // that it erases; " " keeps the colour in effect; a broken glyph is left out.
    EXPECT_EQ(canvas.calls, (Calls{"minimum width 20",
                                   "text 10 20 white/grey opaque default: A", "text 11 20 white/grey clear default: A",
                                   "text 10 21 white/grey clear default: A", "text 30 20 green/black opaque default:  ",
                                   "text 31 20 green/black opaque default:  ", "text 30 21 green/black opaque default:  ",
                                   "text 50 20 green/black opaque default: B", "text 51 20 green/black clear default: B",
                                   "text 50 21 green/black clear default: B"}));
    EXPECT_TRUE(contains(log(), "myTextOutCh invalid UTF-8\n"));
}

TEST_F(CduMode, ASelectedCduStartsWithItsOwnTextsColoursAndBlankState)
{
    // Outside the mode a reselection queues nothing.
    cfg::CDU_L.setRunning(false);
    cfg::CDU_R.setRunning(true);
    cfg::LCD_CDU.setRunning(true);
    display->cduSelectionChanged();
    display->setCduMode(true);
    display->cduHandOver();
    EXPECT_TRUE(host->of("text").empty());
    EXPECT_FALSE(contains(log(), "BLANK screen"));

    g_qsStrings.set(76, "CENTRE TITLE");
    g_qsStrings.set(90, "RIGHT TITLE");
    g_qsStrings.set(514, "g");
    display->cduBlankState(1, false); // the centre CDU is on while the right one is shown
    display->cduSelectionChanged();   // still the right one, still blank
    display->cduHandOver();
    EXPECT_TRUE(host->of("text").empty());

    cfg::CDU_R.setRunning(false);
    cfg::CDU_C.setRunning(true);
    display->cduSelectionChanged();
    display->cduHandOver();
    EXPECT_EQ(rowText(*host, 0).substr(0, 12), "CENTRE TITLE");
    EXPECT_EQ(host->textAt(100, 50), "green/black opaque large: C"); // in its own colours at once
}

} // namespace
} // namespace brg
