#include "game/field/objects/vimu.h"

#include <cmath>
#include <string>
#include <vector>

#include "engine/art/motion_controllers.h"
#include "engine/art/skin_enum.h"
#include "engine/base/math_utils.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_readers.h"
#include "game/field/effects/vimu_pursue_effect.h"
#include "game/field/field.h"
#include "game/field/idols/fire_idol.h"
#include "game/field/physics/physics_body.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

// Tints the particles the emitter spawns.
void tint_particles(EmitterSprite& emitter, const Color& colour)
{
    Sprite* particle = emitter.particle();
    if (particle && !(particle->color() == colour))
        particle->set_color(colour);
}

EmitterSprite* first_emitter(Sprite& sprite)
{
    EmitterSprite* found = nullptr;
    sprite.for_each_child([&found](Sprite* child) {
        if (!found)
            found = dynamic_cast<EmitterSprite*>(child);
    }, false);
    return found;
}

const char* bonus_tip(int bonus)
{
    switch (Bonus(bonus)) {
    case Bonus::splinter: return "bonus_splinter";
    case Bonus::cost_3x: return "bonus_cost3x";
    case Bonus::shock_wave: return "bonus_shockwave";
    case Bonus::accuracy: return "bonus_accuracy";
    case Bonus::slipperiness: return "bonus_slipperiness";
    case Bonus::powerful_strike: return "bonus_powerful_strike";
    case Bonus::spirit: return "bonus_spirit";
    case Bonus::treasure: return "bonus_treasure";
    default: return nullptr;
    }
}

Vector2<int> truncated(const Vector2<float>& p)
{
    return {int(p.x), int(p.y)};
}

// The colour of a bonus's name shown over its bursting piece.
const Color label_colour{0.4f, 1.0f, 0.7f, 1.0f};
const Color white{1.0f, 1.0f, 1.0f, 1.0f};

}

Vimu::~Vimu() = default;

Vector2<float> Vimu::scale() const
{
    const Vector2<float> s = Item::scale();
    return {s.x * m_tremble_scale, s.y * m_tremble_scale};
}

Vector2<float> Vimu::position() const
{
    const Vector2<float> p = body_position();
    return {p.x + m_tremble_offset.x, p.y + m_tremble_offset.y};
}

bool Vimu::has_group() const
{
    return gen() != -1 && m_fuse_end == -1;
}

bool Vimu::same_group(const Item& piece) const
{
    const auto* other = dynamic_cast<const Vimu*>(&piece);
    const bool any_gen = carries(Bonus::any_activator) || (other && other->carries(Bonus::any_activator));
    if (!piece.has_group() || (!any_gen && piece.gen() != gen()))
        return false;
    if (m_ignited || m_struck || (m_field && m_field->all_burning()))
        return true;
    return other && (other->m_ignited || other->m_struck);
}

void Vimu::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    if (is_plain())
        set_bonus(m_field->next_bonus());
    m_field->on_piece_built(*this);
}

void Vimu::destroy_body()
{
    if (!m_body) {
        Item::destroy_body();
        return;
    }
    set_burning(false);
    m_field->on_piece_dead(*this);
    release_score();
    Item::destroy_body();
}

void Vimu::on_contact(Item& other, const ContactInfo& info)
{
    Item::on_contact(other, info);
    m_field->count_hit(*this);
    if (other.same_group(*this)) {
        ignite(&other);
        other.on_chained_by(*this);
    }
}

void Vimu::on_turn_end()
{
    Item::on_turn_end();
    if (m_bonus_turns > 0 && --m_bonus_turns < 1) {
        m_bonus = -1;
        if (m_field) {
            m_bonus_turns = 0;
            m_bonus_time = m_field->field_time();
        }
    }
    if (m_fuse_end == -1)
        m_struck = false;
}

void Vimu::update(int dt)
{
    Item::update(dt);
    if (m_exploded) {
        burst();
        m_dead = true;
        return;
    }
    const bool burning = is_burning();
    set_burning(burning);
    if (burning)
        follow_with_emitter();
    if (m_fuse_end != -1) {
        tremble();
        if (m_field->field_time() >= m_fuse_end)
            explode();
    }
    if (!m_body)
        return;
    if (carries(Bonus::any_activator))
        m_field->game().show_tip(StrCache("bonus_any_activator"), truncated(body_position()));
    else if (carries(Bonus::magnetic))
        m_field->game().show_tip(StrCache("bonus_magnetic"), truncated(body_position()));
}

void Vimu::follow_with_emitter()
{
    if (!m_burn_emitter || !m_body)
        return;
    const Vector2<float> p = body_position();
    if (m_burn_emitter->position() != p)
        m_burn_emitter->set_position(p);
    const b2Vec2 v = m_body->linear_velocity();
    m_burn_emitter->set_emission(v.Length() * 10.0f * 0.1f + 5.0f);
}

void Vimu::draw(int pass, Artist& artist)
{
    Item::draw(pass, artist);
    if (pass != 1 || !m_field || !m_body)
        return;
    draw_bonus(artist);
    if (!m_fire_idol_known) {
        m_fire_idol_known = true;
        for (const SharedPtr<Idol>& idol : m_field->idols()) {
            m_fire_idol = dynamic_cast<FireIdol*>(idol.get());
            if (m_fire_idol)
                break;
        }
    }
    if (m_fire_idol)
        m_fire_idol->draw_piece(*this, artist);
}

void Vimu::draw_bonus(Artist& artist)
{
    if (m_bonus == -1)
        return;
    BonusSettings* settings = m_field->bonus_settings(Bonus(m_bonus));
    if (!settings)
        return;
    ImageSprite& sprite = settings->sprite_on_vimu;
    sprite.set_position(position());
    sprite.center_pivot();
    sprite.set_rotation(angle());
    sprite.set_scale(scale());
    const Color white{1.0f, 1.0f, 1.0f, 1.0f};
    Color colour = white;
    if (settings->twinkling) {
        const float s = (std::sin(float(m_field->field_time() - m_bonus_time) * 0.0025f) + 1.0f) * 0.5f;
        colour = white + (Color{0.7f, 0.7f, 0.7f, 0.8f} - white) * s;
    }
    sprite.set_color(colour);
    sprite.render(artist);
}

void Vimu::tremble()
{
    const float t = float(m_field->field_time() - m_fuse_start) * 0.001f;
    switch (m_tremble_type) {
    case TrembleType::scale: {
        const float k = carries(Bonus::any_activator) ? 54.0f : 24.0f;
        m_tremble_scale = 0.95f + 0.05f * std::sin(k * t);
        break;
    }
    case TrembleType::move: {
        const float a = t * t + 1.0f;
        m_tremble_offset.x = -a + random_float(2.0f * a);
        m_tremble_offset.y = -a + random_float(2.0f * a);
        break;
    }
    default:
        break;
    }
}

void Vimu::on_fallen()
{
    Item::on_fallen();
    if (m_fuse_end != -1)
        explode();
}

void Vimu::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    read_skin_value(node + "cost", &m_cost);
    read_skin_value(node + "color", &m_color);
    read_skin_value(node + "sacrifice", &m_sacrifice);
    read_skin_enum(node + "tremble_type", &m_tremble_type);
    // A piece without a burn emitter burns without the effect.
    const SkinPath burn_emitter = node + "burn_emitter";
    if (require_skin_environment().try_find_node(burn_emitter, true))
        m_burn_emitter = SharedPtr<EmitterSprite>(clone_resource<EmitterSprite, Sprite>(burn_emitter));
    if (m_burn_emitter)
        tint_particles(*m_burn_emitter, m_color);
}

void Vimu::show_bonus_tip()
{
    const char* tip = bonus_tip(m_bonus);
    if (tip && m_field && m_body)
        m_field->game().show_tip(StrCache(tip), truncated(body_position()));
}

void Vimu::burst()
{
    m_score += m_cost;
    if (m_field->game().extra_points())
        m_score += 5;
    m_field->add_shake(0.5f);
    if (!m_body)
        return;
    const Vector2<float> p = body_position();
    if (const BonusSettings* settings = m_bonus == -1 ? nullptr : m_field->bonus_settings(Bonus(m_bonus))) {
        if (settings->life_time_on_field > 0)
            m_field->add_bonus_count(Bonus(m_bonus), settings->life_time_on_field);
        const int extra = fire_bonus(*settings, p);
        add_points(extra, ItemCaption{settings->name, label_colour});
    }
    if (Sprite* explosion = clone_described(SkinPath("effects.vimu_explosion"))) {
        explosion->set_position(p);
        if (!(explosion->color() == m_color))
            explosion->set_color(m_color);
        m_field->top_layer().add_child(SharedPtr<Sprite>(explosion));
    }
}

int Vimu::fire_bonus(const BonusSettings& settings, const Vector2<float>& p)
{
    const int data = settings.data;
    switch (Bonus(m_bonus)) {
    case Bonus::splinter:
        send_splinter(p);
        break;
    case Bonus::cost_3x: {
        const int extra = (data - 1) * m_cost;
        m_score += extra;
        return extra;
    }
    case Bonus::shock_wave:
        shock_wave(data, p);
        break;
    case Bonus::spirit:
        release_spirits(data, p);
        break;
    case Bonus::treasure:
        m_field->create_jewel(p);
        break;
    case Bonus::explode:
        m_field->shock_wave(p, float(data) * 2000.0f);
        break;
    default:
        // The others act while carried or through the field's bonus counts.
        break;
    }
    return 0;
}

void Vimu::send_splinter(const Vector2<float>& p)
{
    std::vector<Vimu*> kin;
    m_field->for_each_piece([this, &kin](Item* item) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (piece && piece != this && piece->gen() == gen())
            kin.push_back(piece);
    });
    if (kin.empty())
        return;
    auto* effect = clone_described<SplinterEffect>(SkinPath("effects.splinter"));
    Vimu* target = kin[std::size_t(random_int(int(kin.size())))];
    target->start_dying(this);
    if (!effect) {
        // Without its flight the splinter strikes at once.
        target->explode();
        return;
    }
    effect->set_target(WeakPtr<Vimu>(target));
    effect->set_position(p);
    const Color colour = white + (m_color - white) * 0.8f;
    effect->set_color(colour);
    if (EmitterSprite* sparks = first_emitter(*effect))
        tint_particles(*sparks, colour);
    m_field->top_layer().add_child(SharedPtr<Sprite>(effect));
}

void Vimu::shock_wave(int radius, const Vector2<float>& p)
{
    m_field->spawn_effect(SkinPath("effects.shock_wave"), p, m_color);
    const float reach2 = float(radius) * float(radius);
    m_field->for_each_item([&p, reach2](Item* item) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (!piece || piece->gen() == -1 || !piece->body())
            return;
        const Vector2<float> d = piece->body_position() - p;
        if (d.x * d.x + d.y * d.y < reach2)
            piece->explode();
    });
}

void Vimu::release_spirits(int count, const Vector2<float>& p)
{
    if (m_field->pieces().count(gen()) == 0)
        return;
    const SkinPath path = SkinPath("items") + ("spirit" + std::to_string(gen())).c_str();
    for (int i = 0; i < count; ++i)
        if (Item* spirit = create_described<Item>(path))
            m_field->add_item(spirit, ItemPlacement{p, 0.0f});
}

void Vimu::ignite(Item* cause)
{
    if (m_fuse_end != -1 || m_exploded || !m_field)
        return;
    m_fuse_start = m_field->field_time();
    m_fuse_end = m_fuse_start + fuse_time;
    m_ignited = true;
    start_dying(cause);
}

void Vimu::start_dying(Item* cause)
{
    if (m_chain == 0 && m_field)
        m_chain = m_field->on_piece_dying(*this, cause);
}

void Vimu::explode()
{
    if (m_exploded)
        return;
    m_fuse_end = -1;
    m_exploded = true;
    set_burning(false);
    show_bonus_tip();
    if (m_field)
        m_field->on_piece_exploded().emit(this);
}

void Vimu::set_burning(bool on)
{
    if (on == m_burning || !m_field)
        return;
    if (on) {
        m_field->add_burning(*this);
        if (m_burn_emitter && m_field->game().effects_on())
            m_field->effect_layer().add_child(m_burn_emitter);
    } else {
        m_field->remove_burning(*this);
        if (m_burn_emitter)
            if (Sprite* parent = m_burn_emitter->parent_sprite())
                parent->remove_child(m_burn_emitter.get());
    }
    m_burning = on;
}

void Vimu::strike(const Vector2<float>& impulse, const Vector2<float>& point)
{
    m_struck = true;
    apply_impulse(impulse, point);
}

void Vimu::set_bonus(int bonus)
{
    m_bonus = bonus;
    if (!m_field)
        return;
    const BonusSettings* settings = bonus == -1 ? nullptr : m_field->bonus_settings(Bonus(bonus));
    m_bonus_turns = settings ? settings->life_time_on_vimu : 0;
    m_bonus_time = m_field->field_time();
}

bool Vimu::is_burning() const
{
    return m_ignited || m_struck || (m_field && m_field->all_burning());
}

void Vimu::release_score()
{
    if (m_score != 0) {
        m_field->add_progress(m_score);
        m_field->add_meter(m_score * 1000);
    }
    if (m_field->game().effects_on())
        send_dust();
}

void Vimu::send_dust()
{
    const Vector2<float> p = body_position();
    const Vector2<float> d = m_field->dust_target(p) - p;
    const float distance = d.length();
    Sprite* dust = clone_described(SkinPath("effects.magic_dust"));
    if (!dust)
        return;
    auto* mover = new MoveController;
    // A dust that starts on its target has nowhere to fly.
    if (distance > 0.0f)
        mover->set_velocity(d * (500.0f / distance));
    dust->add_controller(SharedPtr<SpriteBase>(mover));
    dust->set_position(p);
    if (SpriteTimer* timer = dust->timer()) {
        timer->set_period(std::max(1, int(distance * 2.0f)));
        timer->reset();
    }
    if (EmitterSprite* sparks = first_emitter(*dust)) {
        tint_particles(*sparks, m_color);
        sparks->set_emission(float(m_score) * 0.5f);
    }
    m_field->top_layer().add_child(SharedPtr<Sprite>(dust));
}

}
