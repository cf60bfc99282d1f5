#include "engine/ui/frame_pacer.h"

namespace kq {

namespace {

constexpr std::int64_t period = 1000;

}

void FramePacer::frame_started(std::int64_t now)
{
    const std::int64_t start = now * m_rate;
    if (m_due < 0 || start - m_due > period)
        m_due = start;
    m_due += period;
}

std::int64_t FramePacer::delay(std::int64_t now) const
{
    const std::int64_t left = m_due - now * m_rate;
    return left > 0 ? (left + m_rate - 1) / m_rate : 0;
}

}
