#include "game/field/idols/fire_idol.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/art/interpolate_controller.h"
#include "engine/art/sprite_timer.h"
#include "engine/art/time_stamp.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/objects/vimu.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

// A halo fades fully in or out in 600 ms.
constexpr float glow_speed = 1.0f / 600.0f;
// Alphas below this show nothing.
constexpr float least_alpha = 1.1920929e-7f;

bool has_node(const SkinPath& path)
{
    return require_skin_environment().try_find_node(path, false) != nullptr;
}

// The emitter cloned from the node; null when there is none.
SharedPtr<EmitterSprite> read_emitter(const SkinPath& path)
{
    if (!has_node(path))
        return {};
    return SharedPtr<EmitterSprite>(clone_resource<EmitterSprite, Sprite>(path));
}

// Reads the int at the path when there is one.
void read_optional(const SkinPath& path, int* out)
{
    if (has_node(path))
        read_skin_value(path, out);
}

// Shows or hides the sprite; a closed one stays closed.
void show(Sprite& sprite, bool on)
{
    if (sprite.is_closed() || (sprite.hidden() == 0) == on)
        return;
    sprite.set_hidden(!on);
}

// The level's share of the way to its limit, 1 one step before the limit. A limit one step
// from 0 has no such step and counts as full.
float level_ratio(int level, int steps)
{
    return steps == 0 ? 1.0f : float(level) / float(steps);
}

// Gives the particles of the emitter a life of `period` ms and scales them from `from` to
// `to`.
void shape_particles(EmitterSprite& emitter, float period, float from, float to)
{
    Sprite* particle = emitter.particle();
    if (!particle)
        return;
    if (SpriteTimer* timer = particle->timer()) {
        timer->set_period(std::max(1, int(period)));
        timer->reset();
    }
    if (auto* scale = particle->find_child<ScaleController>()) {
        scale->set_start_value(from);
        scale->set_end_value(to);
        scale->set_variation(0.0f);
    }
}

}

FireIdol::~FireIdol()
{
    if (m_field) {
        m_field->on_turn_step().disconnect(this);
        m_field->on_shot_scored().disconnect(this);
    }
}

void FireIdol::read_skin(const SkinPath& path)
{
    Idol::read_skin(path);
    if (has_node(path + "galo"))
        m_galo.read_skin(path + "galo");
    m_left_fire = read_emitter(path + "left_fire");
    m_right_fire = read_emitter(path + "right_fire");
    m_left_smoke = read_emitter(path + "left_smoke");
    m_right_smoke = read_emitter(path + "right_smoke");
    read_optional(path + "fireball_score", &m_fireball_score);
    // The skin gives the bottom as a positive score; without one the default bottom stays.
    if (has_node(path + "cloud_score")) {
        read_skin_value(path + "cloud_score", &m_cloud_score);
        m_cloud_score = -m_cloud_score;
    }
}

void FireIdol::attached()
{
    m_field->on_turn_step().connect([this] { on_turn_step(); }, this);
    m_field->on_shot_scored().connect([this] { on_shot_scored(); }, this);
    Sprite& layer = m_field->effect_layer();
    for (const SharedPtr<EmitterSprite>* emitter : {&m_left_fire, &m_left_smoke, &m_right_fire, &m_right_smoke}) {
        layer.add_child(SharedPtr<Sprite>(*emitter));
        if (*emitter)
            show(**emitter, false);
    }
    m_glows.clear();
}

void FireIdol::change_fire(int delta)
{
    const int level = std::max(std::min(m_fire_level + delta, m_fireball_score), m_cloud_score);
    if (level == m_fire_level)
        return;
    m_fire_level = level;
    if (!m_mood_locked) {
        if (level >= m_fireball_score) {
            m_field->add_powerup(Powerup::fireball, 1, true);
            lock_good_mood();
        } else {
            set_mood(level > m_cloud_score ? IdolMood::normal : IdolMood::bad);
        }
    }
    update_fire(m_left_fire.get());
    update_fire(m_right_fire.get());
    update_smoke(m_left_smoke.get());
    update_smoke(m_right_smoke.get());
}

void FireIdol::update_fire(EmitterSprite* emitter)
{
    if (!emitter)
        return;
    const bool on = m_fire_level > 0 && m_mood != IdolMood::good;
    show(*emitter, on);
    if (!on)
        return;
    const float r = level_ratio(m_fire_level, m_fireball_score - 1);
    emitter->set_emission(70.0f * r + 10.0f);
    emitter->set_start_speed(110.0f * r + 10.0f, 110.0f * r + 10.0f);
    shape_particles(*emitter, (0.1f * r + 0.3f) * 1000.0f, 0.4f, 1.5f * r + 0.5f);
}

void FireIdol::update_smoke(EmitterSprite* emitter)
{
    if (!emitter)
        return;
    const bool on = m_fire_level < 0 && m_mood != IdolMood::good;
    show(*emitter, on);
    if (!on)
        return;
    const float r = level_ratio(m_fire_level, m_cloud_score + 1);
    emitter->set_emission(6.0f * r + 4.0f);
    emitter->set_scale({0.8f * r + 0.2f, 0.8f * r + 0.2f});
    emitter->set_start_speed(0.0f, 50.0f * r + 50.0f);
    shape_particles(*emitter, (0.2f * r + 0.8f) * 1000.0f, 1.0f, 2.5f * r + 1.5f);
}

void FireIdol::choose_target()
{
    m_target_gen = -1;
    if (m_mood == IdolMood::good || m_field->pieces().empty())
        return;
    const std::multimap<int, Item*>& pieces = m_field->pieces();
    std::vector<Vimu*> candidates;
    for (const auto& [gen, item] : pieces) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (piece && piece->is_sacrifice() && piece->is_launchable() && piece->has_group() &&
            pieces.count(gen) > 1)
            candidates.push_back(piece);
    }
    if (candidates.empty())
        return;
    const Vimu& chosen = *candidates[std::size_t(random_int(int(candidates.size())))];
    m_target_sprite.emplace();
    const SkinPath kind = chosen.skin_path() + "inhand_sprite";
    if (has_node(kind))
        m_target_sprite->read_skin(kind);
    m_target_sprite->set_position(target_point);
    m_target_gen = chosen.gen();
    const Color& colour = chosen.color();
    m_glows.emplace(m_target_gen, Color{colour.r, colour.g, colour.b, 0.0f});
}

void FireIdol::on_shot_scored()
{
    const Item* last = m_field->last_piece();
    if (last && last->gen() == m_target_gen) {
        change_fire(+1);
        choose_target();
    } else if (m_target_gen != -1) {
        change_fire(-1);
    }
}

void FireIdol::on_turn_step()
{
    if (m_target_gen != -1)
        change_fire(-1);
}

void FireIdol::turn_end()
{
    if (m_mood != IdolMood::bad)
        return;
    Item* cloud = create_described<Item>(SkinPath("items.cloud"));
    if (cloud)
        m_field->add_item(cloud, ItemPlacement{cloud_point, 0.0f});
    change_fire(-m_fire_level);
}

void FireIdol::mood_changed(IdolMood old_mood, IdolMood new_mood)
{
    Idol::mood_changed(old_mood, new_mood);
    if (new_mood == IdolMood::good)
        m_target_gen = -1;
}

void FireIdol::update(int elapsed)
{
    m_field->game().show_tip(StrCache("idol_fire"), Vector2<int>{-1, -1});
    if (m_target_gen == -1 || m_field->pieces().count(m_target_gen) < 2)
        choose_target();
    const float step = float(elapsed) * glow_speed;
    for (auto& [gen, colour] : m_glows) {
        const float alpha = colour.a + (gen == m_target_gen ? step : -step);
        colour.a = std::clamp(alpha, 0.0f, 1.0f);
    }
    TimeStamp field_clock;
    field_clock.time = m_field->field_time();
    m_galo.tick(field_clock);
}

void FireIdol::draw(Artist& artist)
{
    Idol::draw(artist);
    if (m_target_gen == -1)
        return;
    if (m_target_sprite)
        m_target_sprite->render(artist);
    const auto glow = m_glows.find(m_target_gen);
    if (glow == m_glows.end() || std::fabs(glow->second.a) < least_alpha)
        return;
    m_galo.set_color(glow->second);
    m_galo.set_position(target_point);
    m_galo.set_scale({0.75f, 0.75f});
    m_galo.render(artist);
}

void FireIdol::draw_piece(const Vimu& piece, Artist& artist)
{
    if (piece.gen() == -1)
        return;
    const auto glow = m_glows.find(piece.gen());
    if (glow == m_glows.end() || std::fabs(glow->second.a) < least_alpha)
        return;
    m_galo.set_position(piece.position());
    m_galo.set_color(glow->second);
    m_galo.set_scale(piece.scale());
    m_galo.render(artist);
}

}
