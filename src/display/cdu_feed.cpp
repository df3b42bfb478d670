#include "display/cdu_feed.h"

#include "config/config_items.h"
#include "vars/var_state.h"

namespace brg {

std::optional<std::uint32_t> gf_selectedCdu()
{
    if (cfg::CDU_L.value())
        return 0;
    if (cfg::CDU_C.value())
        return 1;
    if (cfg::CDU_R.value())
        return 2;
    return std::nullopt;
}

// Rows past the screen would be read as another kind of record; PSX sends none.
void CduFeed::largeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    if (row < kCduRows && gf_selectedCdu() == cdu)
        m_screen.largeLine(row, text);
}

void CduFeed::colourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    if (row < kCduRows && gf_selectedCdu() == cdu)
        m_screen.colourLine(row, text);
}

void CduFeed::blankState(std::uint32_t cdu, bool blank)
{
    if (cdu >= m_blankOf.size())
        return;
    m_blankOf[cdu] = blank;
    if (gf_selectedCdu() == cdu)
        m_screen.blankState(blank);
}

void CduFeed::reselect()
{
    const auto cdu = gf_selectedCdu();
    if (!cdu)
        return;
    const bool withColour = cfg::LCD_CDU.value();
    std::array<std::string, kCduRows> large;
    std::array<std::string, kCduRows> colour;
    for (std::uint32_t r = 0; r < kCduRows; ++r) {
        large[r] = g_qsStrings.get(62 + 14 * *cdu + r);
        if (withColour)
            colour[r] = g_qsStrings.get(500 + 14 * *cdu + r);
    }
    m_screen.reselect(large, colour, withColour, m_blankOf[*cdu]);
}

} // namespace brg
