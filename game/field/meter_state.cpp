#include "game/field/meter_state.h"

#include <algorithm>

namespace kq {

bool MeterState::add(int delta)
{
    m_value += delta;
    if (m_value > 0)
        return false;
    m_value = 0;
    return true;
}

int MeterState::spill_excess()
{
    if (m_value <= m_maximum)
        return 0;
    // Twice the excess spills; every 10000 spilled is worth 10 progress units.
    const std::int64_t spill = std::int64_t(m_spill) + (std::int64_t(m_value) - m_maximum) * 2;
    const std::int64_t units = spill / 10000 * 10;
    m_spill = int(spill % 10000);
    m_value = m_maximum;
    return int(std::min<std::int64_t>(units, INT32_MAX));
}

void MeterState::update_darkness(int scaled_dt, bool darkening)
{
    if (darkening)
        m_darkness += float(scaled_dt) / 1000.0f;
    else
        m_darkness -= float(scaled_dt) * 0.0015f;
    m_darkness = std::clamp(m_darkness, 0.0f, 1.0f);
}

Vector2<float> MeterState::dust_target(const Vector2<float>& point)
{
    if (point.x > 600.0f)
        m_dust_first = false;
    else if (point.x < 425.0f)
        m_dust_first = true;
    return m_dust_targets[m_dust_first ? 0 : 1];
}

}
