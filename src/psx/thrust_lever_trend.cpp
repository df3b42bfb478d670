#include "psx/thrust_lever_trend.h"

namespace brg {

std::optional<std::int32_t> ThrustLeverTrend::update(const std::array<std::int32_t, 4>& levers)
{
    std::int64_t sum = 0;
    for (std::int32_t lever : levers)
        sum += lever < 0 ? 0 : lever;
    const auto average = static_cast<std::int32_t>(sum / 4);
    const std::int64_t delta = static_cast<std::int64_t>(average) - m_average;
    const std::int32_t trend = delta >= 26 ? 1 : (delta <= -26 ? -1 : 0);
    std::optional<std::int32_t> reported;
    if (trend != m_lastTrend) {
        if (m_primed) {
            m_lastTrend = trend;
            reported = trend;
        } else {
            m_primed = true;
        }
    }
    m_average = average;
    return reported;
}

} // namespace brg
