#include "game/field/field.h"

#include <algorithm>
#include <string>

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
    if (m_mode == GameMode::strikes)
        m_sound.set_volume(1.0f);
    m_mode = mode;
    if (m_mode == GameMode::strikes) {
        m_strikes_left = 5;
        m_sound.set_volume(0.0f);
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

}
