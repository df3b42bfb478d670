#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace brg {

// Whether the four thrust levers as a whole move forward (1), back (-1) or stay (0) from one
// Qs436 text to the next; a change of at least 26 in the average counts as movement. The first
// change after start is taken as the starting state, not reported.
class ThrustLeverTrend {
public:
    // The new trend when it changed and is to be reported.
    std::optional<std::int32_t> update(const std::array<std::int32_t, 4>& levers);
    void forgetLastTrend() { m_lastTrend = 0; }

private:
    std::int32_t m_average = 0;
    std::int32_t m_lastTrend = 0;
    bool m_primed = false;
};

} // namespace brg
