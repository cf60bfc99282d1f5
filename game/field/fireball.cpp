#include "game/field/fireball.h"

#include <vector>

#include "game/field/field.h"
#include "game/field/vimu.h"

namespace kq {

void Fireball::launch(const Vector2<float>& direction)
{
    apply_central_impulse(direction.with_length(4000.0f));
    m_launched = true;
}

void Fireball::update(int dt)
{
    Item::update(dt);
    if (!m_launched || !m_body)
        return;
    const Vector2<float> centre = position();
    std::vector<Vimu*> victims;
    m_field->for_each_piece([&](Item* item) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (!piece || piece->has_exploded() || !piece->body())
            return;
        const Vector2<float> d = piece->position() - centre;
        const float reach = (size().x + piece->size().x) * 0.5f;
        if (d.x * d.x + d.y * d.y < reach * reach) {
            victims.push_back(piece);
            --m_hits_left;
        }
    });
    for (Vimu* piece : victims)
        piece->explode();
    m_time_left -= dt;
    if (m_time_left <= 0 || m_hits_left <= 0)
        remove();
}

}
