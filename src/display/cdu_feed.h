#pragma once
// PSX's CDU lines for the screen of the selected CDU, whatever draws it: the lines of the other
// CDUs are dropped, but every CDU's blank state is kept so that a newly selected one starts right.
#include "display/cdu_screen.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace brg {

// The CDU shown (0 left, 1 centre, 2 right): the first one switched on, left before centre
// before right; none when CDU mode is not wanted.
std::optional<std::uint32_t> gf_selectedCdu();

class CduFeed {
public:
    CduScreen& screen() { return m_screen; }

    // The receiving side, any thread (cdu 0 to 2, row 0 to 13).
    void largeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text);
    void colourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text);
    void blankState(std::uint32_t cdu, bool blank);
    // After the selection changed: the whole screen of the selected CDU from PSX's last lines.
    void reselect();

private:
    CduScreen m_screen;
    std::array<std::atomic<bool>, 3> m_blankOf{true, true, true};
};

} // namespace brg
