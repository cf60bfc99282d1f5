#include "game/field/idols/creation_idol.h"

#include <algorithm>
#include <utility>

#include "engine/art/time_stamp.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

// With `valued`, only a node that has a text of its own counts.
bool has_node(const SkinPath& path, bool valued)
{
    return require_skin_environment().try_find_node(path, valued) != nullptr;
}

// Reads the int at the path; a missing key leaves `out` as it is.
void read_optional(const SkinPath& path, int& out)
{
    if (has_node(path, true))
        read_skin_value(path, &out);
}

}

CreationIdol::~CreationIdol()
{
    stop_listening();
}

void CreationIdol::read_skin(const SkinPath& path)
{
    Idol::read_skin(path);
    read_optional(path + "initial_count", m_initial_count);
    read_optional(path + "production_count", m_production_count);
    read_optional(path + "max_count", m_max_count);
    read_optional(path + "product_penalty", m_product_penalty);
    read_optional(path + "production_turns", m_production_turns);
    const SkinPath back = path + "vimu_back";
    const bool has_back = has_node(back, false);
    for (int i = 0; i < slot_count; ++i) {
        Slot& slot = m_slots[std::size_t(i)];
        if (has_back)
            slot.back.read_skin(back);
        slot.back.set_position(slot_positions[std::size_t(i)]);
        slot.piece.set_position(slot_positions[std::size_t(i)]);
    }
}

void CreationIdol::attached()
{
    listen();
    if (m_initial_count > 0) {
        // The first batch is the level's own: it neither changes the hand piece by piece nor
        // costs the meter.
        stop_listening();
        for (int i = 0; i < m_initial_count; ++i) {
            CreatableKind kind;
            m_field->choose_production(kind, false, nullptr);
            m_field->produce_item(kind.path);
        }
        listen();
    }
    update_mood();
    refill_hand();
}

void CreationIdol::turn_end()
{
    if (m_mood != IdolMood::good && m_production_turns > 0)
        --m_production_turns;
    if (m_hand.empty())
        return;
    // Every dropped piece tells the field's listeners; the hand must not change meanwhile.
    stop_listening();
    for (const CreatableKind& kind : m_hand) {
        m_field->produce_item(kind.path);
        m_field->add_meter(-m_product_penalty);
    }
    m_hand.clear();
    listen();
    update_mood();
    refill_hand();
}

void CreationIdol::update(int /*elapsed*/)
{
    m_field->game().show_tip(StrCache("idol_creation"), Vector2<int>{-1, -1});
    TimeStamp field_clock;
    field_clock.time = m_field->field_time();
    for (Slot& slot : m_slots)
        slot.back.tick(field_clock);
}

void CreationIdol::draw(Artist& artist)
{
    Idol::draw(artist);
    for (int i = 0; i < m_shown; ++i)
        m_slots[std::size_t(i)].back.render(artist);
    for (int i = 0; i < m_shown; ++i)
        m_slots[std::size_t(i)].piece.render(artist);
}

void CreationIdol::refresh()
{
    update_mood();
    refill_hand();
}

void CreationIdol::update_mood()
{
    if (m_mood_locked)
        return;
    if (m_field->single_group_left() && m_production_turns > 0) {
        m_field->add_powerup(Powerup::hand, m_production_count, true);
        lock_good_mood();
    } else if (int(m_field->pieces().size()) >= m_max_count) {
        set_mood(IdolMood::bad);
    } else {
        set_mood(IdolMood::normal);
    }
}

int CreationIdol::hand_size() const
{
    switch (m_mood) {
    case IdolMood::normal:
        // A count written negative in the data still makes one piece.
        return std::max(m_production_turns != 0 ? m_production_count : 0, 1);
    case IdolMood::good:
        return 1;
    default:
        return 0;
    }
}

void CreationIdol::refill_hand()
{
    std::vector<CreatableKind> old_hand = std::exchange(m_hand, {});
    m_shown = 0;
    const int size = hand_size();
    const bool restricted = m_mood == IdolMood::good || m_production_turns == 0 || m_production_count == 0;
    for (int i = 0; i < size; ++i) {
        CreatableKind kind;
        m_field->choose_production(kind, restricted, &old_hand);
        if (!kind.path.empty())
            m_hand.push_back(std::move(kind));
    }
    m_shown = std::min(slot_count, int(m_hand.size()));
    for (int i = 0; i < m_shown; ++i)
        show_in_slot(m_slots[std::size_t(i)], m_hand[std::size_t(i)], slot_positions[std::size_t(i)]);
}

void CreationIdol::show_in_slot(Slot& slot, const CreatableKind& kind, const Vector2<float>& position)
{
    if (slot.kind == kind.path)
        return;
    slot.kind = kind.path;
    const SkinPath picture = kind.path + "inhand_sprite";
    // A kind without an in-hand picture leaves the slot's picture empty.
    const bool has_picture = has_node(picture, false);
    if (has_picture)
        slot.piece.read_skin(picture);
    slot.piece.set_hidden(!has_picture);
    slot.piece.set_position(position);
    Color tint{1.0f, 1.0f, 1.0f, 1.0f};
    const SkinPath colour = kind.path + "color";
    if (has_node(colour, true))
        read_skin_value(colour, &tint);
    slot.back.set_color(tint);
}

void CreationIdol::listen()
{
    m_field->on_items_changed().connect([this] { refresh(); }, this);
}

void CreationIdol::stop_listening()
{
    if (m_field)
        m_field->on_items_changed().disconnect(this);
}

}
