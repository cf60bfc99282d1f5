#include "game/field/objects/rocket.h"

#include <cmath>

#include "engine/res/skin_prototypes.h"
#include "game/field/field.h"
#include "game/field/objects/vimu.h"

namespace kq {

void Rocket::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    m_fire = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(skin_path() + "fire"));
}

void Rocket::destroy_body()
{
    Item::destroy_body();
    if (m_fire)
        if (Sprite* parent = m_fire->parent_sprite())
            parent->remove_child(m_fire.get());
}

void Rocket::do_activate()
{
    Item::do_activate();
    m_ignited = true;
    if (m_fire && m_field)
        m_field->effect_layer().add_child(m_fire);
}

void Rocket::update(int dt)
{
    Item::update(dt);
    if (!m_ignited || !m_body)
        return;
    const Vector2<float> p = body_position();
    const float a = angle();
    apply_force(Vector2<float>{std::cos(a), std::sin(a)} * thrust, p);
    if (!m_fire)
        return;
    if (m_fire->position() != p)
        m_fire->set_position(p);
    if (m_fire->rotation() != a)
        m_fire->set_rotation(a);
    m_fire->invalidate();
}

void Rocket::on_contact(Item& other, const ContactInfo& info)
{
    Item::on_contact(other, info);
    if (!m_ignited || !m_body)
        return;
    const Vector2<float> to_contact = info.position - body_position();
    const float distance = to_contact.length();
    if (distance == 0.0f)
        return;
    const float a = angle();
    const Vector2<float> n = to_contact / distance;
    if (n.x * std::cos(a) + n.y * std::sin(a) > nose_cosine)
        explode();
}

void Rocket::explode()
{
    const Vector2<float> p = body_position();
    m_field->spawn_effect(SkinPath("effects.rocket_explode"), p, Color{1.0f, 1.0f, 1.0f, 1.0f});
    m_field->for_each_item([this](Item* item) { blast_piece(*item, blast_radius); });
    m_field->shock_wave(p, blast_strength);
    remove();
}

void Rocket::blast_piece(Item& item, float radius)
{
    auto* piece = dynamic_cast<Vimu*>(&item);
    if (!piece || piece->gen() == -1 || !piece->body())
        return;
    if (Vector2<float>::distance(piece->body_position(), body_position()) < radius)
        piece->explode();
}

}
