#include "game/field/objects/fireball.h"

#include <vector>

#include "engine/res/skin_prototypes.h"
#include "game/field/field.h"
#include "game/field/objects/vimu.h"

namespace kq {

void Fireball::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    m_fire = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(node + "fire"));
    m_halo.read_skin(node + "galo");
}

void Fireball::launch(const Vector2<float>& direction)
{
    apply_central_impulse(direction.with_length(4000.0f));
    m_launched = true;
}

void Fireball::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (m_fire)
        m_field->effect_layer().add_child(m_fire);
}

void Fireball::destroy_body()
{
    if (m_fire && m_field && m_fire->parent() == &m_field->effect_layer())
        m_field->effect_layer().remove_child(m_fire.get());
    Item::destroy_body();
}

void Fireball::draw(int pass, Artist& artist)
{
    Item::draw(pass, artist);
    if (pass != 1 || !m_body)
        return;
    const float t = float(m_field->field_time()) * 0.0005f;
    m_halo.set_position(body_position());
    m_halo.set_rotation(t);
    m_halo.render(artist);
    m_halo.set_rotation(-t);
    m_halo.render(artist);
}

void Fireball::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    if (m_fire)
        m_fire->set_position(body_position());
    if (m_launched)
        burn(dt);
}

void Fireball::burn(int dt)
{
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
