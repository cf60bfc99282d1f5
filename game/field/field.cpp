#include "game/field/field.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "engine/host/system/assert.h"
#include "engine/res/skin_prototypes.h"
#include "game/field/field_units.h"

namespace kq {

namespace {

b2AABB world_box()
{
    b2AABB box;
    box.lowerBound.Set(Field::box_left, Field::box_top);
    box.upperBound.Set(Field::box_right, Field::box_bottom);
    return box;
}

// Where the dragonfly may enter, all off the screen.
constexpr std::array<Vector2<float>, 4> dragonfly_starts{{
    {-100.0f, 900.0f},
    {-100.0f, -100.0f},
    {1200.0f, -100.0f},
    {1200.0f, 900.0f},
}};

}

Field::Field(const FieldSettings& settings, FieldGame& game)
    : m_game(game),
      m_world(new PhysicsWorld(world_box(), b2Vec2(0.0f, 0.0f), false)),
      m_contact_listener(new ContactListener),
      m_settings(settings)
{
    m_world->set_contact_listener(m_contact_listener.get());
    if (m_game.has_dragonfly())
        add_dragonfly();
}

Field::~Field() = default;

void Field::add_dragonfly()
{
    const Vector2<float> start = dragonfly_starts[random_int(4)];
    const SkinPath path("items.dragonfly");
    Item* dragonfly = create_from_skin<Item>(path);
    if (!dragonfly) {
        log_error(("No item is described at [" + path.text() + "]").c_str(), __FILE__, __LINE__);
        return;
    }
    add_item(dragonfly, ItemPlacement{start, 0.0f});
}

void Field::add_item(Item* item, const ItemPlacement& placement)
{
    KQ_ASSERT(item);
    m_items.emplace_back(item);
    item->attach(*this, placement);
    insert_in_draw_order(item);
}

void Field::insert_in_draw_order(Item* item)
{
    const auto higher = std::find_if(m_draw_order.begin(), m_draw_order.end(),
                                     [item](const Item* other) { return other->height() > item->height(); });
    m_draw_order.insert(higher, item);
}

void Field::on_item_height_changed(Item& item)
{
    const auto found = std::find(m_draw_order.begin(), m_draw_order.end(), &item);
    if (found == m_draw_order.end())
        return;
    m_draw_order.erase(found);
    insert_in_draw_order(&item);
}

void Field::add_awning(Item* item)
{
    if (std::find(m_awnings.begin(), m_awnings.end(), item) != m_awnings.end()) {
        log_error("Awning already added", __FILE__, __LINE__);
        return;
    }
    m_awnings.push_back(item);
}

void Field::remove_awning(Item* item)
{
    const auto found = std::find(m_awnings.begin(), m_awnings.end(), item);
    if (found == m_awnings.end()) {
        log_error("Awning not exist", __FILE__, __LINE__);
        return;
    }
    m_awnings.erase(found);
}

void Field::set_state(GameMode mode)
{
    if (mode == m_mode || m_game_state != GameState::running)
        return;
    if (m_mode == GameMode::strikes) {
        m_sound.set_volume(1.0f);
        end_time_stop();
    }
    m_mode = mode;
    if (m_mode == GameMode::strikes) {
        m_strikes_left = 5;
        m_sound.set_volume(0.0f);
        start_time_stop();
    }
    m_mode_changed.emit(m_mode);
}

void Field::set_game_state(GameState state)
{
    if (state == m_game_state)
        return;
    if (state != GameState::running)
        set_state(GameMode::aim);
    m_game_state = state;
    if (state != GameState::running) {
        m_danger_mode = 0;
        m_sound.stop();
    }
    m_game_state_changed.emit(m_game_state);
}

void Field::update(int dt)
{
    if (dt <= 0)
        return;
    update_shake(dt);
    update_time_stop(dt);
    if (m_time_state != 2) {
        const int scaled = int(m_time_factor * float(dt));
        update_darkness(scaled);
        m_field_time += scaled;
        attract_items();
        update_items(scaled);
        m_world->step(float(scaled) / 1000.0f, 10);
        process_contacts();
    }
    remove_dead_items();
    advance_layers();
}

void Field::update_shake(int dt)
{
    m_shake = std::max(m_shake - float(dt) / 1000.0f, 0.0f);
    if (m_shake <= 1.5f) {
        m_shake_offset = {};
        m_shake_target = {};
        m_shake_left = 0;
        return;
    }
    if (m_shake_left <= dt) {
        m_shake_offset = m_shake_target;
        const int range = int((m_shake - 1.5f) * 20.0f);
        const int half = range / 2;
        const int y = random_int(range) - half;
        const int x = random_int(range) - half;
        m_shake_target = {x, y};
        m_shake_left = int((m_shake - 1.5f) * (2.0f / 3.0f) * 20.0f) - dt;
    } else {
        m_shake_offset.x += (m_shake_target.x - m_shake_offset.x) * dt / m_shake_left;
        m_shake_offset.y += (m_shake_target.y - m_shake_offset.y) * dt / m_shake_left;
        m_shake_left -= dt;
    }
}

void Field::add_shake(float amount)
{
    m_shake = std::min(m_shake + amount, 3.0f);
}

void Field::update_time_stop(int dt)
{
    const float change = float(dt) / 1000.0f;
    if (m_time_state == 1) {
        m_time_factor -= change;
        if (m_time_factor <= 0.0f) {
            m_time_factor = 0.0f;
            m_time_state = 2;
        }
    } else if (m_time_state == 3) {
        m_time_factor += change;
        if (m_time_factor >= 1.0f) {
            m_time_factor = 1.0f;
            m_time_state = 0;
        }
    }
}

void Field::start_time_stop()
{
    m_time_state = 1;
    Sound().play(m_time_stop_sample.get(), false, 0.0f, 1.0f, 0);
}

void Field::end_time_stop()
{
    if (m_time_state == 0)
        return;
    m_time_state = 3;
    Sound().play(m_time_start_sample.get(), false, 0.0f, 1.0f, 0);
}

void Field::update_darkness(int scaled_dt)
{
    if (m_danger_mode == 2 || m_game_state == GameState::fail)
        m_darkness += float(scaled_dt) / 1000.0f;
    else
        m_darkness -= float(scaled_dt) * 0.0015f;
    m_darkness = std::clamp(m_darkness, 0.0f, 1.0f);
}

void Field::attract_items()
{
    for (auto a = m_items.begin(); a != m_items.end(); ++a) {
        if ((*a)->height() > 0.1f)
            continue;
        for (auto b = std::next(a); b != m_items.end(); ++b)
            attract(**a, **b);
    }
}

void Field::attract(Item& a, Item& b)
{
    if (b.height() > 0.1f || !a.body() || !b.body())
        return;
    const Vector2<float> d = b.position() - a.position();
    const float d2 = d.x * d.x + d.y * d.y;
    if (d2 <= 3600.0f)
        return;
    float f = 0.0f;
    if (!is_zero(a.electrostatic_charge()) && !is_zero(b.electrostatic_charge()))
        f = (b.electrostatic_charge() / d2) * a.electrostatic_charge();
    const int magnetised = int(a.is_attractor()) + int(b.is_attractor());
    if (magnetised > 0 && a.same_group(b) && a.is_magnetic() && b.is_magnetic())
        f += -8e7f / d2 * float(magnetised);
    if (f == 0.0f)
        return;
    constexpr float full_range2 = 180.0f * 180.0f;
    if (d2 < full_range2)
        f = f * d2 / full_range2;
    // A positive force pushes the two apart, a negative one pulls them together.
    const Vector2<float> push = d.with_length(f);
    b.apply_central_force(push);
    a.apply_central_force(push * -1.0f);
}

void Field::update_items(int scaled_dt)
{
    // The next item is taken before each update, so an update may add items behind it.
    for (auto item = m_items.begin(); item != m_items.end();) {
        Item& current = **item++;
        current.update(scaled_dt);
    }
}

void Field::process_contacts()
{
    for (const ContactResult& result : m_contact_listener->results()) {
        Item* a = result.item1;
        Item* b = result.item2;
        if (!a || !b || a == b)
            continue;
        ContactInfo info;
        info.normal_impulse = std::fabs(result.normal_impulse * pixels_per_metre);
        info.tangent_impulse = std::fabs(result.tangent_impulse * pixels_per_metre);
        info.position = to_pixels(result.position);
        info.normal = to_pixels(result.normal);
        if (!a->is_dead())
            a->on_contact(*b, info);
        info.normal = info.normal * -1.0f;
        if (!b->is_dead())
            b->on_contact(*a, info);
    }
    m_contact_listener->clear();
}

void Field::remove_dead_items()
{
    for (auto entry = m_items.begin(); entry != m_items.end();) {
        Item* item = entry->get();
        if (!item->is_dead()) {
            ++entry;
            continue;
        }
        item->destroy_body();
        m_item_removed.emit(item);
        m_draw_order.erase(std::remove(m_draw_order.begin(), m_draw_order.end(), item), m_draw_order.end());
        item->detach();
        entry = m_items.erase(entry);
    }
}

void Field::advance_layers()
{
    TimeStamp field_clock;
    field_clock.time = m_field_time;
    for (int i = 0; i < 3; ++i)
        m_layers[i].tick(field_clock);
    TimeStamp application_clock;
    application_clock.time = std::int32_t(time_ms());
    m_layers[3].tick(application_clock);
}

}
