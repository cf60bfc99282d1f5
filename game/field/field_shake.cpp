#include "game/field/field_shake.h"

#include <algorithm>

#include "engine/base/math_utils.h"

namespace kq {

void FieldShake::add(float amount)
{
    m_amount = std::min(m_amount + amount, 3.0f);
}

void FieldShake::update(int dt)
{
    m_amount = std::max(m_amount - float(dt) / 1000.0f, 0.0f);
    if (m_amount <= 1.5f) {
        m_offset = {};
        m_target = {};
        m_time_left = 0;
        return;
    }
    if (m_time_left <= dt) {
        m_offset = m_target;
        const int range = int((m_amount - 1.5f) * 20.0f);
        const int half = range / 2;
        const int y = random_int(range) - half;
        const int x = random_int(range) - half;
        m_target = {x, y};
        m_time_left = int((m_amount - 1.5f) * (2.0f / 3.0f) * 20.0f) - dt;
    } else {
        m_offset.x += (m_target.x - m_offset.x) * dt / m_time_left;
        m_offset.y += (m_target.y - m_offset.y) * dt / m_time_left;
        m_time_left -= dt;
    }
}

}
