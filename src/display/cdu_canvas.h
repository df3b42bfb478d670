#pragma once
// Draws the CDU screen's rows on a canvas: one glyph per column in the small or the large CDU
// font, in the CDU's colour or PSX's colour codes.
#include "display/canvas.h"
#include "display/cdu_screen.h"

namespace brg {

struct CduLayout {
    Rect screen;
    int xOffset = 0;
    int yOffset = 0;
    int rowHeight = 0;
    int columnWidth = 0;
    int smallFontYOffset = 0;
    Rgb textColour{50, 205, 50};
    bool withColour = false;
    bool bold = false;
    // Whether the window could create the fonts; without one the canvas's current font draws.
    bool smallFont = false;
    bool largeFont = false;
};

class CduCanvasPainter : public CduRowPainter {
public:
    // Starts a paint: black opaque background, the CDU's text colour, no font known as selected.
    CduCanvasPainter(Canvas& canvas, const CduLayout& layout);
    // Lifts the clip of the last row drawn.
    ~CduCanvasPainter() override;
    CduCanvasPainter(const CduCanvasPainter&) = delete;
    CduCanvasPainter& operator=(const CduCanvasPainter&) = delete;

    void clearScreen() override;
    // Inside the row's band only, from the screen's left to its right edge.
    void drawRow(std::uint32_t row, const std::string& large, const std::string& colour) override;
    // One glyph; a glyph that cannot be drawn is logged and skipped.
    void myTextOutCh(int x, int y, char character, char colourCode);

private:
    void select(CanvasFont font, bool available);
    void unclip();

    Canvas& m_canvas;
    const CduLayout& m_layout;
    CanvasFont m_selected = CanvasFont::Default;
    bool m_clipped = false;
};

} // namespace brg
