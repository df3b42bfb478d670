#include "display/cdu_canvas.h"

#include "base/log.h"
#include "display/utf16.h"

#include <fmt/format.h>

namespace brg {

CduCanvasPainter::CduCanvasPainter(Canvas& canvas, const CduLayout& layout) : m_canvas(canvas), m_layout(layout)
{
    m_canvas.setBackground(kCduBlack, true);
    m_canvas.setTextColour(m_layout.textColour);
    m_canvas.setMinimumTextWidth(m_layout.columnWidth);
}

void CduCanvasPainter::clearScreen()
{
    unclip();
    m_canvas.fillRect(m_layout.screen, kCduBlack);
}

void CduCanvasPainter::select(CanvasFont font, bool available)
{
    if (m_selected == font)
        return;
    m_selected = font;
    if (available)
        m_canvas.selectFont(font);
}

CduCanvasPainter::~CduCanvasPainter() { unclip(); }

void CduCanvasPainter::unclip()
{
    if (m_clipped)
        m_canvas.setClip(std::nullopt);
    m_clipped = false;
}

void CduCanvasPainter::drawRow(std::uint32_t row, const std::string& large, const std::string& colour)
{
    int x = m_layout.xOffset;
    const int y = static_cast<int>(row) * m_layout.rowHeight + m_layout.yOffset;
    // A font taller than the row (a substitute for the CDU fonts, or a large CDU_FONTSIZE) would
    // otherwise paint its cell's background over the neighbouring rows.
    m_canvas.setClip(Rect{m_layout.screen.left, y, m_layout.screen.right, y + m_layout.rowHeight});
    m_clipped = true;
    for (std::uint32_t c = 0; c < kCduColumns; ++c) {
        const char code = colour.empty() ? 'w' : colour[c];
        if (large[c + kCduColumns] == '+') {
            select(CanvasFont::CduLarge, m_layout.largeFont);
            myTextOutCh(x, y, large[c], code);
        } else {
            select(CanvasFont::CduSmall, m_layout.smallFont);
            myTextOutCh(x, y + m_layout.smallFontYOffset, large[c], code);
        }
        x += m_layout.columnWidth;
    }
}

void CduCanvasPainter::myTextOutCh(int x, int y, char character, char colourCode)
{
    try {
        const std::u16string glyph = gf_utf8ToUtf16(std::string_view(&character, 1));
        Rgb background = kCduBlack;
        if (m_layout.withColour && colourCode != ' ') {
            m_canvas.setTextColour(gf_cduCodeColour(colourCode));
            background = gf_cduCodeBackground(colourCode);
        }
        const bool grey = background != kCduBlack;
        m_canvas.setBackground(background, true);
        m_canvas.textOut(x, y, glyph);
        if (m_layout.bold) {
            // Drawn twice more, shifted by a pixel; a transparent background keeps the strokes.
            if (character != ' ')
                m_canvas.setBackground(background, false);
            m_canvas.textOut(x + 1, y, glyph);
            m_canvas.textOut(x, y + 1, glyph);
        }
        if (grey || m_layout.bold)
            m_canvas.setBackground(kCduBlack, true);
    } catch (const std::exception& e) {
        g_log.write(fmt::format("myTextOutCh {}", e.what()));
    }
}

} // namespace brg
