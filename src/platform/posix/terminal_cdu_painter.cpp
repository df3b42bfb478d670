#include "platform/posix/terminal_cdu_painter.h"

#include <fmt/format.h>

namespace brg {

namespace {

// The CDU fonts keep their special glyphs at letters' positions; a terminal needs the symbols.
// Control characters and bytes outside ASCII would move the cursor or break the row's columns.
std::string lf_symbol(char glyph)
{
    switch (glyph) {
    case 'b': return "°";
    case 'c': return "□";
    case 'n': return "Δ";
    case '^': return "↑";
    case '_': return "←";
    case 'e': return "→";
    default: break;
    }
    const auto byte = static_cast<unsigned char>(glyph);
    if (byte < 0x20 || byte >= 0x7F)
        return "?";
    return std::string(1, glyph);
}

struct CellStyle {
    Rgb text;
    Rgb background;
    bool large = false;
    friend bool operator==(const CellStyle&, const CellStyle&) = default;
};

std::string lf_escape(const CellStyle& style)
{
    return fmt::format("\033[{};38;2;{};{};{};48;2;{};{};{}m", style.large ? 1 : 22, style.text.r, style.text.g,
                       style.text.b, style.background.r, style.background.g, style.background.b);
}

} // namespace

std::string gf_terminalCduBlankRow()
{
    return lf_escape({{255, 255, 255}, kCduBlack, false}) + std::string(kCduColumns, ' ') + "\033[0m";
}

void TerminalCduPainter::clearScreen() { m_rows.fill(gf_terminalCduBlankRow()); }

void TerminalCduPainter::drawRow(std::uint32_t row, const std::string& large, const std::string& colour)
{
    std::string text;
    std::optional<CellStyle> current;
    for (std::uint32_t c = 0; c < kCduColumns; ++c) {
        const char code = colour.empty() ? 'w' : colour[c];
        CellStyle style{m_colour, kCduBlack, large[c + kCduColumns] == '+'};
        // A blank code keeps the colour of the glyph before it.
        if (m_withColour && code != ' ') {
            m_colour = style.text = gf_cduCodeColour(code);
            style.background = gf_cduCodeBackground(code);
        }
        if (style != current)
            text += lf_escape(style);
        current = style;
        text += lf_symbol(large[c]);
    }
    m_rows.at(row) = text + "\033[0m";
}

} // namespace brg
