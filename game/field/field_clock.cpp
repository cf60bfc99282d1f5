#include "game/field/field_clock.h"

namespace kq {

void FieldClock::update_stop(int dt)
{
    const float change = float(dt) / 1000.0f;
    if (m_state == TimeState::stopping) {
        m_factor -= change;
        if (m_factor <= 0.0f) {
            m_factor = 0.0f;
            m_state = TimeState::stopped;
        }
    } else if (m_state == TimeState::resuming) {
        m_factor += change;
        if (m_factor >= 1.0f) {
            m_factor = 1.0f;
            m_state = TimeState::running;
        }
    }
}

int FieldClock::advance(int dt)
{
    if (m_state == TimeState::stopped)
        return 0;
    const int scaled = int(m_factor * float(dt));
    m_time += scaled;
    return scaled;
}

bool FieldClock::start_resume()
{
    if (m_state == TimeState::running)
        return false;
    m_state = TimeState::resuming;
    return true;
}

}
