#include "game/field/objects/brick.h"

#include <algorithm>
#include <cmath>

#include "engine/res/skin_readers.h"
#include "game/field/field.h"

namespace kq {

namespace {

constexpr float epsilon = 1.1920929e-07f;

}

void Brick::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    read_skin_value(skin_path() + "integrity", &m_integrity);
    m_full_integrity = m_integrity;
}

int Brick::frame_for(int frames) const
{
    // A brick loaded without integrity has no fraction left to show: it is all but broken.
    if (m_full_integrity <= 0.0f)
        return frames - 1;
    const float k = std::trunc(m_integrity / m_full_integrity * float(frames));
    return frames - int(std::clamp(k, 1.0f, float(frames)));
}

void Brick::on_contact(Item& other, const ContactInfo& info)
{
    Item::on_contact(other, info);
    const float s = info.normal_impulse;
    if (s > 0.05f * m_full_integrity)
        m_integrity = std::max(m_integrity - s, 0.0f);
    if (!m_animation.empty())
        set_frame(m_animation[std::size_t(frame_for(int(m_animation.size())))]);
    if (std::abs(m_integrity) < epsilon) {
        remove();
        m_field->spawn_effect(SkinPath("effects.adobe_destroy"), body_position(), Color{1.0f, 1.0f, 1.0f, 1.0f});
    }
}

}
