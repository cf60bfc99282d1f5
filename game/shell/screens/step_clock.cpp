#include "game/shell/screens/step_clock.h"

namespace kq {

void StepClock::reset(int now)
{
    m_time = now;
    m_last = now;
    m_remainder = 0;
}

void StepClock::update(int now)
{
    if (now <= m_last)
        return;
    if (!m_paused)
        advance(now - m_last);
    m_last = now;
}

void StepClock::advance(int delta)
{
    if (m_max_step > 0 && delta > m_max_step)
        delta = m_max_step;
    if (m_step > 0) {
        m_remainder += delta;
        m_time += m_remainder / m_step * m_step;
        m_remainder %= m_step;
        return;
    }
    m_time += delta;
}

}
