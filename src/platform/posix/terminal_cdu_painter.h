#pragma once
// Draws the CDU screen's rows as terminal text: 24-bit colour escapes, large glyphs bold and
// small ones normal, the CDU fonts' special glyphs as their Unicode symbols.
#include "display/cdu_screen.h"

#include <array>
#include <optional>
#include <string>

namespace brg {

class TerminalCduPainter : public CduRowPainter {
public:
    // One paint: the text colour starts as the CDU's own, as in the window.
    TerminalCduPainter(Rgb textColour, bool withColour) : m_colour(textColour), m_withColour(withColour) {}

    void clearScreen() override;
    void drawRow(std::uint32_t row, const std::string& large, const std::string& colour) override;

    // Each row's text as last drawn in this paint, or nothing for a row this paint left alone.
    const std::array<std::optional<std::string>, kCduRows>& rows() const { return m_rows; }

private:
    Rgb m_colour;
    bool m_withColour;
    std::array<std::optional<std::string>, kCduRows> m_rows;
};

// A dark row: 24 black cells.
std::string gf_terminalCduBlankRow();

} // namespace brg
