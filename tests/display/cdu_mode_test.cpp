#include "app/process_state.h"
#include "config/config_items.h"
#include "display/cdu_canvas.h"
#include "display/cdu_screen.h"
#include "display_fixture.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using namespace test;

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
    // The texts of one row, in column order.
    static std::string rowText(const RecordingCanvas& canvas, int y)
    {
        std::string text;
        for (const TextOut& t : canvas.texts)
            if (t.y == y || t.y == y + cfg::CDU_SMALL_FONT_Y_OFFSET.value())
                text += t.text;
        return text;
    }
};

TEST_F(CduMode, EnteringMovesTheWindowKeepsItsPlaceAndCreatesTheFonts)
{
    host->position = {230, 140};
    display->setCduMode(true);
    EXPECT_TRUE(display->cduModeActive());
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 230);
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 140);
    // In memory only: the file keeps the user's values until the program ends.
    EXPECT_NE(readFile("Talvesync.cfg").find("MAIN_WINDOW_X=100\n"), std::string::npos);
    EXPECT_EQ(host->moves, (std::vector<Move>{{1500, 60, cfg::TALVESYNC_AS_CDU_WIDTH.value(),
                                               cfg::TALVESYNC_AS_CDU_HEIGHT.value()}}));
    const int height = -cfg::CDU_FONTSIZE.value();
    const int cell = cfg::CDU_WIDTH.value() / 24;
    EXPECT_EQ(host->fonts, (std::vector<FontRequest>{{CanvasFont::CduSmall, "AEROWINX MCDU SMALL", height, cell},
                                                     {CanvasFont::CduLarge, "AEROWINX MCDU LARGE", height, cell}}));
    EXPECT_EQ(host->captionRemovals, cfg::CDU_BORDER.value() ? 0 : 1);
    EXPECT_NE(log().find("Talvesync window changed into CDU screen.\n"), std::string::npos);
    // The repaint at once shows a dark screen until PSX unblanks it.
    EXPECT_EQ(host->canvas.lastFillOf({0, 0, cfg::TALVESYNC_AS_CDU_WIDTH.value(), cfg::TALVESYNC_AS_CDU_HEIGHT.value()}),
              kBlack);
    EXPECT_TRUE(host->canvas.texts.empty());

    display->setCduMode(true);
    EXPECT_EQ(host->moves.size(), 1u);
}

TEST_F(CduMode, FontsThatCannotBeCreatedAreLoggedAndTheModeGoesOn)
{
    host->fontsAvailable = false;
    display->setCduMode(true);
    EXPECT_NE(log().find("? hFontSmall_ == NULL\n? hFontLarge_  == NULL\n"), std::string::npos);
    display->cduBlankState(0, false);
    display->cduHandOver();
    EXPECT_TRUE(display->cduModeActive());
    EXPECT_EQ(host->canvas.texts.size(), 14u * 24u);
    EXPECT_TRUE(host->canvas.fontSelections.empty());
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
        EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 50);
        host->position = row.leave;
        display->setCduMode(false);
        EXPECT_FALSE(display->cduModeActive());
        EXPECT_EQ(host->moves.back(), (Move{100, 50, 720, 236}));
        const std::string file = readFile("Talvesync.cfg");
        EXPECT_TRUE(contains(file, row.stored)) << file;
    }
    EXPECT_EQ(countOf(log(), "Talvesync window back to normal.\n"), 2u);
    // The status panel is painted again.
    EXPECT_FALSE(host->canvas.at(290, 7).empty());
}

TEST_F(CduMode, RowsAreDrawnGlyphByGlyphInTheirFontAndPlace)
{
    display->setCduMode(true);
    display->cduBlankState(0, false);
    display->cduLargeLine(0, 3, "SMALL ROW THREE XXXXXXXX");
    display->cduLargeLine(2, 3, "NOT SHOWN");
    display->cduHandOver();
    const RecordingCanvas& canvas = host->canvas;
    const int rowHeight = cfg::CDU_HEIGHT.value() / 14;
    const int y3 = 3 * rowHeight + cfg::CDU_Y_OFFSET.value();
    const int small = cfg::CDU_SMALL_FONT_Y_OFFSET.value();
    std::vector<TextOut> row3;
    for (const TextOut& t : canvas.texts)
        if (t.y == y3 + small && t.font == CanvasFont::CduSmall)
            row3.push_back(t);
    // Erased with blanks in the large font, then drawn in the small one.
    ASSERT_EQ(row3.size(), 24u);
    EXPECT_EQ(row3[0].text, "S");
    EXPECT_EQ(row3[0].x, cfg::CDU_X_OFFSET.value());
    EXPECT_EQ(row3[1].x, cfg::CDU_X_OFFSET.value() + cfg::CDU_WIDTH.value() / 24);
    EXPECT_EQ(row3[0].colour, (Rgb{static_cast<std::uint8_t>(cfg::CDU_COLOR_R.value()),
                                   static_cast<std::uint8_t>(cfg::CDU_COLOR_G.value()),
                                   static_cast<std::uint8_t>(cfg::CDU_COLOR_B.value())}));
    EXPECT_TRUE(row3[0].opaque);
    EXPECT_EQ(row3[0].background, kBlack);
    // Fonts are selected only when they change.
    for (std::size_t i = 1; i < canvas.fontSelections.size(); ++i)
        EXPECT_NE(canvas.fontSelections[i], canvas.fontSelections[i - 1]);
}

TEST_F(CduMode, ColourCodesAndBoldGlyphs)
{
    RecordingCanvas canvas;
    CduLayout layout;
    layout.withColour = true;
    layout.bold = true;
    layout.columnWidth = 20;
    CduCanvasPainter painter(canvas, layout);
    // Every glyph erases its whole column, also one of a font narrower than the column.
    EXPECT_EQ(canvas.minimumTextWidth, 20);
    painter.myTextOutCh(10, 20, 'A', 'y');
    painter.myTextOutCh(30, 20, ' ', 'g');
    painter.myTextOutCh(50, 20, 'B', ' ');
    painter.myTextOutCh(70, 20, '\xFF', 'r');
    ASSERT_EQ(canvas.texts.size(), 9u);
    // White on grey, twice more shifted by a pixel over a transparent background.
    EXPECT_EQ(canvas.texts[0], (TextOut{10, 20, "A", kWhite, {128, 128, 128}, true}));
    EXPECT_EQ(canvas.texts[1], (TextOut{11, 20, "A", kWhite, {128, 128, 128}, false}));
    EXPECT_EQ(canvas.texts[2], (TextOut{10, 21, "A", kWhite, {128, 128, 128}, false}));
    // A blank stays opaque so that it erases.
    EXPECT_EQ(canvas.texts[4], (TextOut{31, 20, " ", {0, 255, 0}, kBlack, true}));
    // " " keeps the colour in effect.
    EXPECT_EQ(canvas.texts[6], (TextOut{50, 20, "B", {0, 255, 0}, kBlack, true}));
    EXPECT_NE(log().find("myTextOutCh invalid UTF-8\n"), std::string::npos);
}

TEST_F(CduMode, ASelectedCduStartsWithItsOwnTextsAndBlankState)
{
    display->setCduMode(true);
    g_qsStrings.set(76, "CENTRE TITLE");
    g_qsStrings.set(62, "LEFT TITLE");
    display->cduBlankState(1, false); // the centre CDU is on while the left one is shown
    display->cduSelectionChanged();   // still the left one, still blank
    display->cduHandOver();
    EXPECT_TRUE(host->canvas.texts.empty());

    cfg::CDU_L.setRunning(false);
    cfg::CDU_C.setRunning(true);
    display->cduSelectionChanged();
    display->cduHandOver();
    EXPECT_EQ(rowText(host->canvas, cfg::CDU_Y_OFFSET.value()).substr(0, 12), "CENTRE TITLE");
}

TEST_F(CduMode, NothingIsQueuedOutsideTheModeOnReselection)
{
    cfg::CDU_L.setRunning(false);
    cfg::CDU_R.setRunning(true);
    display->cduSelectionChanged();
    display->setCduMode(true);
    display->cduHandOver();
    EXPECT_TRUE(host->canvas.texts.empty());
    EXPECT_EQ(countOf(log(), "BLANK screen"), 0u);
}

} // namespace
} // namespace brg
