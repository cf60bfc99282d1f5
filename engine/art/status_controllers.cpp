#include "engine/art/status_controllers.h"

#include "engine/art/sprite.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

void AlphaKey3Controller::read_skin(const SkinPath& path)
{
    SpriteController::read_skin(path);
    read_skin_value(path + "value0", &m_keys[0]);
    read_skin_value(path + "value1", &m_keys[1]);
    read_skin_value(path + "value2", &m_keys[2]);
}

void AlphaKey3Controller::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    const float c = timer->coefficient();
    const float alpha = c < 0.5f ? m_keys[0] + (m_keys[1] - m_keys[0]) * c * 2.0f
                                 : m_keys[1] + (m_keys[2] - m_keys[1]) * (2.0f * c - 1.0f);
    target->set_alpha(alpha);
}

void StatusController::read_skin(const SkinPath& path)
{
    SpriteController::read_skin(path);
    read_skin_value(path + "start_time_coeff", &m_start);
    read_skin_value(path + "end_time_coeff", &m_end);
}

void StatusController::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    // The period setting, not the run length drawn for this run.
    if (timer->local_time() > timer->period())
        target->close();
    if (target->is_closed())
        return;
    const float c = timer->coefficient();
    const bool inside = m_start <= c && c <= m_end;
    if ((target->hidden() == 0) != inside)
        target->set_hidden(!inside);
}

}
