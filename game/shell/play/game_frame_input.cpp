// The game frame's input, its drawing with the cursor of the state of play, and its reaction
// to the field's mode.
#include <cmath>

#include "engine/ui/control_host.h"
#include "game/shell/play/game_frame.h"

namespace kq {

namespace {

Vector2<float> to_float(Vector2<int> point)
{
    return {float(point.x), float(point.y)};
}

float distance(Vector2<int> a, Vector2<int> b)
{
    const float dx = float(a.x - b.x);
    const float dy = float(a.y - b.y);
    return std::sqrt(dx * dx + dy * dy);
}

}

bool GameFrame::holds_item() const
{
    return m_field && (m_field->held_item() || m_field->placed_item());
}

// --- input -----------------------------------------------------------------------------------

bool GameFrame::on_key(Key key, KeyState state)
{
    if (state == state_down && key == key_escape) {
        show_ingame_menu();
        return true;
    }
    if (state == state_down && key >= key_1 && key <= key_5) {
        on_powerup(Powerup(key - key_1));
        return true;
    }
    if (m_field && (key == key_mouse_left || key == key_mouse_right)) {
        const Vector2<int> point = mouse_position();
        if (key == key_mouse_left && state == state_down)
            press_left(point);
        else if (key == m_press_key && state == state_up)
            release_button(point);
        else if (state == state_down && holds_item()) {
            // The other button gives the aim up.
            m_field->release_held_item();
            release_mouse();
        } else if (key == key_mouse_right && state == state_down)
            m_field->undo();
        if (key == key_mouse_left && state == state_double_click)
            m_field->apply();
    }
    return Frame::on_key(key, state);
}

void GameFrame::press_left(Vector2<int> point)
{
    const Vector2<float> at = to_float(point);
    if (m_field->mode() == GameMode::aim && m_field->clickable_item_at(at)) {
        m_field->activate_item_at(at);
        return;
    }
    if (holds_item() || !m_field->on_press(at))
        return;
    m_press_key = key_mouse_left;
    m_press_pos = point;
    m_dragged = false;
    capture_mouse(1);
}

void GameFrame::release_button(Vector2<int> point)
{
    if (!holds_item())
        return;
    if (distance(m_press_pos, point) > drag_distance) {
        m_field->launch();
        release_mouse();
    } else if (m_dragged) {
        // Dragged out and brought back: the player changed their mind.
        m_field->release_held_item();
        release_mouse();
    }
    // A release near the press point without a drag keeps the aim: the next release away
    // from it still launches.
}

void GameFrame::on_mouse_move(Vector2<int> point)
{
    if (!m_dragged && holds_item() && distance(m_press_pos, point) > drag_distance)
        m_dragged = true;
}

void GameFrame::on_mouse_leave()
{
    Frame::on_mouse_leave();
    if (holds_item())
        m_field->release_held_item();
}

// --- drawing and cursors ---------------------------------------------------------------------

void GameFrame::draw(Artist& artist)
{
    Frame::draw(artist);
    if (!m_field)
        return;
    update_top_buttons();
    const Vector2<int> pointer = mouse_position();
    if (holds_item()) {
        m_field->set_aim_point(to_float(pointer));
        m_field->update_aim_point();
    } else if (has_capture()) {
        release_mouse();
    }
    apply_cursor(choose_cursor_state(to_float(pointer)));
    m_field->set_light_point(pointer);
    m_field->draw(artist);
}

void GameFrame::draw_over(Artist& artist)
{
    if (m_field)
        m_field->draw_overlay(artist);
}

void GameFrame::update_top_buttons()
{
    const bool strikes = m_field->mode() == GameMode::strikes;
    m_top.show_apply(strikes);
    m_top.show_undo(m_field->can_undo());
    m_top.set_moves(strikes ? m_field->strikes_left() : 0);
}

StrCache GameFrame::choose_cursor_state(Vector2<float> point) const
{
    const bool held = holds_item();
    const GameMode mode = m_field->mode();
    const auto act = [this, mode, point] { return m_field->can_act(mode, point, false); };
    const char* state = "default";
    switch (mode) {
    case GameMode::aim:
    case GameMode::strikes: state = held || act() ? "can_launch" : "default"; break;
    case GameMode::hand:
        if (held)
            state = m_field->can_aim() ? "can_drop" : "cant_drop";
        else
            state = act() ? "can_take" : "cant_take";
        break;
    case GameMode::fireball: state = held ? "can_launch" : "fireball"; break;
    case GameMode::bolt: state = "bolt"; break;
    }
    return StrCache(state);
}

void GameFrame::apply_cursor(StrCache state)
{
    m_cursor_state = state;
    const CursorPair& cursor = m_cursors[state];
    if (cursor.software.get() != sw_cursor().get())
        set_sw_cursor(cursor.software);
    set_cursor(cursor.hardware);
}

// --- modes -----------------------------------------------------------------------------------

void GameFrame::on_game_mode(GameMode mode)
{
    struct Look
    {
        int highlight;
        bool apply;
        bool undo;
        int bottom_mode;
        const char* tip;
    };
    Look look{};
    switch (mode) {
    case GameMode::aim: look = {-1, false, false, 0, nullptr}; break;
    case GameMode::hand: look = {int(Powerup::hand), false, true, 2, "game_mode_hand"}; break;
    case GameMode::strikes: look = {int(Powerup::clock), true, true, 1, "game_mode_stop"}; break;
    case GameMode::fireball: look = {int(Powerup::fireball), false, true, 2, "game_mode_fireball"}; break;
    case GameMode::bolt: look = {int(Powerup::bolt), false, true, 2, "game_mode_bolt"}; break;
    default: return;
    }
    m_top.set_highlight(look.highlight);
    m_top.show_apply(look.apply);
    m_top.show_undo(look.undo);
    m_bottom.set_mode(look.bottom_mode);
    if (look.tip)
        show_tips({look.tip});
}

}
