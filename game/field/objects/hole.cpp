#include "game/field/objects/hole.h"

#include <cmath>

#include "engine/base/math_utils.h"
#include "engine/platform/audio.h"
#include "engine/platform/sound.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"

namespace kq {

namespace {

bool has_key(const SkinPath& path)
{
    return require_skin_environment().try_find_node(path, true) != nullptr;
}

}

void Hole::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    if (has_key(node + "border"))
        read_skin_value(node + "border", &m_border);
    if (has_key(node + "fall_sample"))
        m_fall_sample.read_name_from_skin(node + "fall_sample");
}

void Hole::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    m_field->for_each_item([this](Item* item) { swallow(*item); });
}

bool Hole::holds(const Item& item, const Vector2<float>& inner) const
{
    const Vector2<float> here = position();
    const Vector2<float> there = item.position();
    if (m_form == Form::circle)
        return inner.x / 2.0f >= item.size().x / 2.0f + Vector2<float>::distance(here, there);
    if (m_form != Form::rect)
        return false;
    // The room the item's centre has: left and top edges in, right and bottom out.
    const Vector2<float> room = inner - item.size();
    const float left = here.x - room.x / 2.0f;
    const float top = here.y - room.y / 2.0f;
    return there.x >= left && there.x < left + room.x && there.y >= top && there.y < top + room.y;
}

void Hole::swallow(Item& item)
{
    if (&item == this || !item.body() || item.mass() < 1.0f || item.is_off_ground() ||
        !is_zero(item.height()) || !contains(item.position()))
        return;
    const Vector2<float> inner{m_size.x - 2.0f * m_border, m_size.y - 2.0f * m_border};
    if (holds(item, inner)) {
        if (const Sample* sample = m_fall_sample.get()) {
            const float pan = Audio::instance() ? Audio::instance()->pan_for_x(item.position().x) : 0.0f;
            Sound().play(sample, false, pan, 1.0f, 0);
        }
        item.fall();
        return;
    }
    if (!(inner.x > item.size().x && inner.y > item.size().y))
        return;
    if (m_form != Form::circle && m_form != Form::rect)
        return;
    const Vector2<float> towards = position() - item.position();
    if (is_zero(towards.x) && is_zero(towards.y))
        return;
    item.apply_force(towards.with_length(1000.0f) * item.mass(), item.position());
}

}
