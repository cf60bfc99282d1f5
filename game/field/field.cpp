#include "game/field/field.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "engine/host/system/assert.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "game/field/physics/field_units.h"
#include "game/field/skin_description.h"

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

Field::~Field()
{
    m_on_destroyed.emit();
}

void Field::add_dragonfly()
{
    const Vector2<float> start = dragonfly_starts[random_int(4)];
    if (Item* dragonfly = create_described_item(SkinPath("items.dragonfly")))
        add_item(dragonfly, ItemPlacement{start, 0.0f});
}

void Field::add_item(Item* item, const ItemPlacement& placement)
{
    if (!item) {
        log_error("No item to add", __FILE__, __LINE__);
        return;
    }
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
    const bool below_previous = found != m_draw_order.begin() && (*std::prev(found))->height() > item.height();
    const bool above_next = std::next(found) != m_draw_order.end() && (*std::next(found))->height() < item.height();
    if (below_previous || above_next)
        std::stable_sort(m_draw_order.begin(), m_draw_order.end(),
                         [](const Item* a, const Item* b) { return a->height() < b->height(); });
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
    if (mode == m_aim.mode() || m_game_state != GameState::running)
        return;
    // Nothing the old mode picked stays in the air.
    release_held_item();
    if (m_aim.mode() == GameMode::strikes) {
        m_sound.set_volume(1.0f);
        end_time_stop();
    }
    m_aim.set_mode(mode);
    if (mode == GameMode::strikes) {
        m_aim.set_strikes_left(5);
        m_sound.set_volume(0.0f);
        start_time_stop();
    }
    m_on_mode_changed.emit(mode);
}

void Field::set_game_state(GameState state)
{
    if (state == m_game_state)
        return;
    if (state != GameState::running)
        set_state(GameMode::aim);
    m_game_state = state;
    if (state != GameState::running) {
        m_meter.set_danger(DangerMode::none);
        m_sound.stop();
    }
    m_on_game_state_changed.emit(m_game_state);
}

void Field::update(int dt)
{
    if (dt <= 0)
        return;
    m_shake.update(dt);
    m_clock.update_stop(dt);
    if (m_clock.state() != TimeState::stopped) {
        const int scaled = m_clock.advance(dt);
        m_meter.update_darkness(scaled, m_meter.danger() == DangerMode::overdrawn || m_game_state == GameState::fail);
        if (m_clock.turn_due())
            end_turn();
        attract_items();
        update_items(scaled);
        m_world->step(float(scaled) / 1000.0f, 10);
        process_contacts();
        m_score.track_flight();
    }
    if (m_aim.held() || m_aim.placed())
        update_aim_point();
    remove_dead_items();
    for_each_idol([dt](Idol* idol) { idol->update(dt); });
    check_production();
    advance_layers();
}

void Field::add_shake(float amount)
{
    m_shake.add(amount);
}

void Field::start_time_stop()
{
    m_clock.start_stop();
    Sound().play(m_time_stop_sample.get(), false, 0.0f, 1.0f, 0);
    release_held_item();
}

void Field::end_time_stop()
{
    if (!m_clock.start_resume())
        return;
    Sound().play(m_time_start_sample.get(), false, 0.0f, 1.0f, 0);
    // The planned strikes open a turn of their own.
    if (m_clock.turn_pending())
        end_turn();
    m_clock.open_turn(2000);
    fire_held_back_shots();
}

Field::Attractee Field::attractee(Item& item)
{
    return {&item, item.position(), item.electrostatic_charge(), !is_zero(item.electrostatic_charge()),
            item.is_attractor(), item.is_magnetic()};
}

void Field::attract_items()
{
    // Each item is read once a step, not once a pair: the pairs grow with the square of the
    // items. A pair moves only when one of the two is charged or attracts, so pairs of two
    // others are never tried.
    m_grounded.clear();
    m_movers.clear();
    for (const SharedPtr<Item>& item : m_items) {
        if (item->height() > 0.1f || !item->body())
            continue;
        const Attractee a = attractee(*item);
        if (a.charged || a.attractor)
            m_movers.push_back(m_grounded.size());
        m_grounded.push_back(a);
    }
    std::size_t later_mover = 0;
    for (std::size_t a = 0; a < m_grounded.size(); ++a) {
        const Attractee& first = m_grounded[a];
        while (later_mover < m_movers.size() && m_movers[later_mover] <= a)
            ++later_mover;
        if (first.charged || first.attractor) {
            for (std::size_t b = a + 1; b < m_grounded.size(); ++b)
                attract(first, m_grounded[b]);
        } else {
            for (std::size_t m = later_mover; m < m_movers.size(); ++m)
                attract(first, m_grounded[m_movers[m]]);
        }
    }
}

void Field::attract(Item& a, Item& b)
{
    if (b.height() > 0.1f || !a.body() || !b.body())
        return;
    attract(attractee(a), attractee(b));
}

void Field::attract(const Attractee& a, const Attractee& b)
{
    // A pair no force can move is left before its distance is taken.
    const bool charged = a.charged && b.charged;
    const int magnetised = int(a.attractor) + int(b.attractor);
    const bool magnetic = magnetised > 0 && a.magnetic && b.magnetic;
    if (!charged && !magnetic)
        return;
    const Vector2<float> d = b.position - a.position;
    const float d2 = d.x * d.x + d.y * d.y;
    if (d2 <= 3600.0f)
        return;
    float f = 0.0f;
    if (charged)
        f = (b.charge / d2) * a.charge;
    if (magnetic && a.item->same_group(*b.item))
        f += -8e7f / d2 * float(magnetised);
    if (f == 0.0f)
        return;
    constexpr float full_range2 = 180.0f * 180.0f;
    if (d2 < full_range2)
        f = f * d2 / full_range2;
    // A positive force pushes the two apart, a negative one pulls them together.
    const Vector2<float> push = d.with_length(f);
    b.item->apply_central_force(push);
    a.item->apply_central_force(push * -1.0f);
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
        m_on_item_removed.emit(item);
        m_draw_order.erase(std::remove(m_draw_order.begin(), m_draw_order.end(), item), m_draw_order.end());
        item->detach();
        entry = m_items.erase(entry);
    }
}

void Field::advance_layers()
{
    TimeStamp field_clock;
    field_clock.time = m_clock.time();
    for (int i = 0; i < 3; ++i)
        m_layers[i].tick(field_clock);
    TimeStamp application_clock;
    application_clock.time = std::int32_t(time_ms());
    m_layers[3].tick(application_clock);
}

void Field::shock_wave(const Vector2<float>& point, float strength)
{
    for (const SharedPtr<Item>& item : m_items) {
        if (item->height() > 0.1f || !item->body() || item->mass() < 1.0f)
            continue;
        const Vector2<float> d = item->body_position() - point;
        const float distance = d.length();
        if (distance < 1.1920929e-7f)
            continue;
        item->apply_central_impulse(d * (strength / (distance * distance)));
    }
}

void Field::add_piece(Item& piece)
{
    KQ_ASSERT(m_piece_walks == 0);
    m_pieces.emplace(piece.gen(), &piece);
}

bool Field::remove_piece(Item& piece)
{
    KQ_ASSERT(m_piece_walks == 0);
    const auto [first, last] = m_pieces.equal_range(piece.gen());
    const auto found = std::find_if(first, last, [&piece](const auto& entry) { return entry.second == &piece; });
    if (found == last)
        return false;
    m_pieces.erase(found);
    return true;
}

void Field::for_each_piece(const std::function<void(Item*)>& visit)
{
    ++m_piece_walks;
    try {
        for (const auto& [gen, piece] : m_pieces)
            visit(piece);
    } catch (...) {
        --m_piece_walks;
        throw;
    }
    --m_piece_walks;
}

void Field::for_each_idol(const std::function<void(Idol*)>& visit)
{
    for (const SharedPtr<Idol>& idol : m_idols)
        visit(idol.get());
}

void Field::for_each_item(const std::function<void(Item*)>& visit)
{
    for (auto entry = m_items.begin(); entry != m_items.end();) {
        Item* item = (entry++)->get();
        visit(item);
    }
}

ChainState Field::chain_state() const
{
    if (m_clock.turn_pending())
        return ChainState::turn_pending;
    if (m_pieces.size() < 2)
        return ChainState::none_possible;
    for (auto group = m_pieces.begin(); group != m_pieces.end();) {
        const auto end = m_pieces.upper_bound(group->first);
        if (std::next(group) != end) {
            for (auto entry = group; entry != end; ++entry) {
                const Item& piece = *entry->second;
                if (is_launchable(piece) && !is_under_awning(piece.position()))
                    return ChainState::possible;
            }
        }
        group = end;
    }
    return ChainState::none_possible;
}

bool Field::has_launchable_piece() const
{
    return std::any_of(m_pieces.begin(), m_pieces.end(),
                       [this](const auto& entry) { return is_launchable(*entry.second); });
}

bool Field::single_group_left() const
{
    return !m_pieces.empty() && m_pieces.begin()->first == m_pieces.rbegin()->first;
}

Item* Field::item_at(const Vector2<float>& point) const
{
    for (const SharedPtr<Item>& item : m_items)
        if (item->body() && item->contains(point))
            return item.get();
    return nullptr;
}

bool Field::is_under_awning(const Vector2<float>& point) const
{
    return std::any_of(m_awnings.begin(), m_awnings.end(),
                       [&point](const Item* awning) { return awning->body() && awning->contains(point); });
}

void Field::index_creatable_items()
{
    m_creatable.clear();
    for (SkinChildIterator child(SkinPath("items"), "creating"); !child.at_end(); child.next()) {
        int gen = 0;
        read_skin_value(child.path() + "gen", &gen);
        m_creatable.emplace(gen, child.path());
    }
}

void Field::choose_production(CreatableKind& out, bool restricted, std::vector<CreatableKind>* preferred)
{
    out = CreatableKind();
    if (m_game_state != GameState::running || m_creatable.empty() || m_pieces.empty())
        return;
    const bool launchable = has_launchable_piece();
    std::vector<CreatableKind> candidates;
    for (auto group = m_pieces.begin(); group != m_pieces.end(); group = m_pieces.upper_bound(group->first)) {
        const int gen = group->first;
        if (restricted && launchable && m_pieces.count(gen) > 1)
            continue;
        const auto [first, last] = m_creatable.equal_range(gen);
        for (auto kind = first; kind != last; ++kind)
            candidates.push_back({kind->second, gen});
    }
    if (candidates.empty())
        return;
    if (preferred) {
        for (auto entry = preferred->begin(); entry != preferred->end(); ++entry) {
            if (std::find(candidates.begin(), candidates.end(), *entry) != candidates.end()) {
                out = *entry;
                preferred->erase(entry);
                return;
            }
        }
    }
    out = candidates[random_int(int(candidates.size()))];
}

void Field::produce_item(const SkinPath& path)
{
    if (path.empty())
        return;
    Item* item = create_described_item(path);
    if (!item)
        return;
    const Vector2<float> point = production_point(item->size());
    const float angle = random_float(2.0f * 3.14159265f);
    item->set_height(5.0f + random_float(2.0f));
    // The piece drops in bouncing; the falling flag would sink it as into a hole.
    item->jump(-2.0f - random_float(5.0f));
    add_item(item, ItemPlacement{point, angle});
}

Vector2<float> Field::production_point(const Vector2<float>& size)
{
    const float radius = std::max(size.x, size.y) * 0.5f;
    const auto is_free = [this, radius](const Vector2<float>& point) {
        return !is_under_awning(point) && !is_occupied(point, radius);
    };
    Vector2<float> point = m_game.pick_area_point(m_vimu_production_areas);
    for (int tries = 1; tries < 10 && !is_free(point); ++tries)
        point = m_game.pick_area_point(m_vimu_production_areas);
    if (is_free(point))
        return point;
    // Two pieces landing on one another are thrown apart hard enough to pass through a wall.
    const float step = std::max(2.0f * radius, 1.0f);
    for (const Rect& area : m_vimu_production_areas)
        for (float y = area.y + radius; y <= area.y + area.h - radius; y += step)
            for (float x = area.x + radius; x <= area.x + area.w - radius; x += step)
                if (is_free({x, y}))
                    return {x, y};
    return point;
}

bool Field::is_occupied(const Vector2<float>& point, float radius) const
{
    constexpr int rim_points = 8;
    for (const SharedPtr<Item>& item : m_items) {
        if (!item->body())
            continue;
        if (Vector2<float>::distance(item->position(), point) < radius || item->contains(point))
            return true;
        for (int i = 0; i < rim_points; ++i) {
            const float angle = float(i) * 2.0f * 3.14159265f / float(rim_points);
            const Vector2<float> rim = Vector2<float>::from_polar(angle, radius);
            if (item->contains({point.x + rim.x, point.y + rim.y}))
                return true;
        }
    }
    return false;
}

void Field::check_production()
{
    if (m_last_check + 500 >= m_clock.time())
        return;
    m_last_check = m_clock.time();
    bool produce = false;
    switch (chain_state()) {
    case ChainState::turn_pending:
        m_check_count = 0;
        break;
    case ChainState::none_possible:
        m_check_count = 0;
        produce = true;
        break;
    case ChainState::possible:
        if (++m_check_count == 3) {
            m_check_count = 0;
            produce = true;
        }
        break;
    }
    if (!produce)
        return;
    CreatableKind kind;
    choose_production(kind, false, nullptr);
    produce_item(kind.path);
}

void Field::floating_text(const Vector2<float>& point, const std::string& text, const Color& colour)
{
    const SkinPath path("effects.floating_text");
    if (text.empty())
        return;
    TextSprite* sprite = clone_described<TextSprite>(path);
    if (!sprite)
        return;
    sprite->set_position(text_position(point, sprite->size()));
    sprite->center_pivot();
    sprite->set_color(colour);
    sprite->set_text(text);
    m_layers[3].add_child(SharedPtr<Sprite>(sprite));
}

Vector2<float> Field::text_position(const Vector2<float>& point, const Vector2<float>& size) const
{
    // How far "effects.floating_text" rises before it is gone.
    constexpr float rise = 40.0f;
    const Rect& b = m_text_bounds;
    const auto keep = [](float value, float low, float high) { return std::clamp(value, low, std::max(low, high)); };
    return {keep(point.x, b.x + size.x / 2, b.x + b.w - size.x / 2),
            keep(point.y, b.y + rise + size.y / 2, b.y + b.h - size.y / 2)};
}

void Field::spawn_effect(const SkinPath& path, const Vector2<float>& point, const Color& colour)
{
    Sprite* effect = clone_described(path);
    if (!effect)
        return;
    if (effect->position() != point)
        effect->set_position(point);
    if (!(effect->color() == colour))
        effect->set_color(colour);
    effect_layer().add_child(SharedPtr<Sprite>(effect));
}

}
