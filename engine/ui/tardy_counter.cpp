#include "engine/ui/tardy_counter.h"

#include <algorithm>
#include <cstdlib>

#include "engine/base/clock.h"

namespace kq {

void TardyCounter::update(int target)
{
    const std::int64_t now = time_ms();
    if (target != m_target) {
        m_target = target;
        m_delta = std::int64_t(target) - m_value;
        m_time = now;
        return;
    }
    if (m_value == m_target)
        return;
    const std::int64_t duration = std::min(std::abs(m_delta) * m_unit_time, std::int64_t(m_max_time));
    // Past the run's end every call lands on the target; the cap keeps the product in range.
    const std::int64_t elapsed = std::clamp<std::int64_t>(now - m_time, 0, duration);
    // Whole units only; the time of the fraction left over carries to the next call.
    const std::int64_t step = m_delta * elapsed / duration;
    m_time += std::abs(step * duration / m_delta);
    const std::int64_t reached = m_value + step;
    m_value = int(m_delta >= 0 ? std::min<std::int64_t>(reached, m_target) : std::max<std::int64_t>(reached, m_target));
}

void TardyCounter::set(int value)
{
    m_value = value;
    m_target = value;
    m_delta = 0;
}

}
