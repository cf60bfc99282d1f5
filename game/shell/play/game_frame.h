#pragma once

#include <initializer_list>
#include <map>

#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"
#include "engine/base/vector2.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "engine/ui/frame.h"
#include "game/field/field.h"
#include "game/shell/play/bottom_panel.h"
#include "game/shell/play/meter_panel.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/play/top_panel.h"

namespace kq {

class Game;

/// The frame in which one mission is played: the current profile's mission of the `Game`
/// ("missions.chapterC.missionM"). It owns the mission's `Field`, steps it every 10 ms (at
/// most 50 ms at a time, and not while the shell holds an idle hold), draws it under its
/// top, bottom and meter panels, turns the player's mouse and keys into field operations
/// with a cursor for each state of play, and runs the end of the mission: coin offers, the
/// reserve bonus, the results written back into the profile and saved, the outcome's sound,
/// the end dialog and the pop of the frame. The screen beneath pushes it (from the skin node
/// "frames.game_frame") and reads `result` once it has left the stack.
///
/// The panels are members; the field lives from the attach to the detach. Main thread only.
class GameFrame : public Frame
{
public:
    /// The states of the pointer over the field that have a cursor of their own.
    static constexpr const char* cursor_states[] = {"default",   "can_launch", "can_drop", "cant_drop",
                                                    "can_take",  "cant_take",  "fireball", "bolt"};
    /// A pointer this far from the press point (pixels, exclusive) makes a drag.
    static constexpr float drag_distance = 20.0f;
    /// The longest step of the field, milliseconds.
    static constexpr int max_step_ms = 50;

    /// The panels built and attached, their signals heard; no field yet.
    GameFrame();
    GameFrame(const GameFrame&) = delete;
    GameFrame& operator=(const GameFrame&) = delete;
    /// Drops the pending calls and takes the panels off the frame.
    ~GameFrame() override;

    /// The field, the panels and the field's overlay (aim, markers) above the panels; the
    /// cursor follows the state of play.
    void draw(Artist& artist) override;
    void draw_over(Artist& artist) override;
    /// Leaving the frame gives up the aim.
    void on_mouse_leave() override;
    /// A pointer more than 20 pixels from the press point marks the aim as a drag.
    void on_mouse_move(Vector2<int> point) override;
    /// Mouse: press aims, release beyond 20 pixels launches, right press undoes, double click
    /// applies. Keys, on the press only: Escape the menu, 1 to 5 the powerups.
    bool on_key(Key key, KeyState state) override;
    /// Starts the mission: preload, field, the 10 ms step, the panels sliding in, the keys.
    void on_attached() override;
    /// An unfinished mission gives back its tip permit; the field goes.
    void on_detach() override;
    using Frame::read_skin;
    /// `Frame`'s keys, then "cursor" (a node per cursor state), "win_sample", "lose_sample",
    /// "skip_sample", "start_sample" and "reserve_sample".
    void read_skin() override;

    /// Builds the field of the current profile's mission from its node and hands it to the
    /// panels; the mission's "music" plays.
    void start_mission();
    /// One step of the field by the time since the last (at most 50 ms); none while the shell
    /// holds an idle hold, and that time is not made up later. Always true.
    bool tick(int);
    /// The field's new game state: a coin offer for a failure, else the end of the mission.
    /// Runs once per mission; later states are ignored.
    void on_game_state(GameState state);
    /// The reaction to the field's new mode: the highlighted powerup, the apply and undo
    /// buttons and the bottom panel's buttons.
    void on_game_mode(GameMode mode);
    /// A powerup chosen on the top panel or by its key: only in aim mode, held and while the
    /// mission runs; the coin asks first.
    void on_powerup(Powerup powerup);
    /// "go" applies the planned strikes; "cancel" takes one back or leaves the mode.
    void on_bottom_button(BottomPanelButton button);
    /// The top panel shows the field's lives, score and powerups.
    void refresh_top_panel();
    /// The in-game menu over the hidden field; "exit" leaves the mission and the screen
    /// beneath it.
    void show_ingame_menu();

    /// How the mission ended; `GameState::running` until the end flow has run.
    GameState result() const { return m_result; }
    Field* field() const { return m_field.get(); }
    TopPanel& top_panel() { return m_top; }
    BottomPanel& bottom_panel() { return m_bottom; }
    MeterPanel& left_meter() { return m_left_meter; }
    MeterPanel& right_meter() { return m_right_meter; }
    /// The cursor state chosen at the last draw.
    StrCache cursor_state() const { return m_cursor_state; }
    /// The cursors of a state; an unknown state gets an empty entry.
    CursorPair& cursor_of(StrCache state) { return m_cursors[state]; }
    /// Whether the end of the mission has begun.
    bool is_ending() const { return m_ending; }

    /// The quality of a mission: the meter's share of its maximum, in percent; 0 for a
    /// maximum of 0 or less.
    static int quality_of(int meter, int max_meter);

private:
    // The part of the screen between the panels, where floating texts keep to.
    Rect open_field() const;
    void connect_field();
    static void show_tips(std::initializer_list<const char*> names);
    void slide_panels_in();
    /// The coin offered after a failure; true when a coin was spent (the field then ends the
    /// mission as skipped).
    bool offer_coin();
    void end_mission(GameState state);
    void count_reserve(Field& field);
    void write_results(GameState state, const Field& field);
    void play_outcome_sound(GameState state);
    /// The in-game menu, run over the whole screen; its result.
    StrCache run_ingame_menu();
    /// The end dialog of the outcome, with the field's time, the score earned and the quality.
    void show_end_dialog(GameState state, int time_ms, int score, int quality);
    bool holds_item() const;
    void update_top_buttons();
    StrCache choose_cursor_state(Vector2<float> point) const;
    void apply_cursor(StrCache state);
    void press_left(Vector2<int> point);
    void release_button(Vector2<int> point);
    static void play_once(ResHandle<Sample>& sample);

    ProfileFieldGame m_field_game;
    SharedPtr<Field> m_field;
    int m_last_tick = 0;
    GameState m_result = GameState::running;
    bool m_ending = false;
    int m_press_key = 0;
    Vector2<int> m_press_pos;
    bool m_dragged = false;
    TopPanel m_top;
    BottomPanel m_bottom;
    MeterPanel m_left_meter;
    MeterPanel m_right_meter;
    std::map<StrCache, CursorPair> m_cursors;
    StrCache m_cursor_state;
    ResHandle<Sample> m_win_sample;
    ResHandle<Sample> m_lose_sample;
    ResHandle<Sample> m_skip_sample;
    ResHandle<Sample> m_start_sample;
    ResHandle<Sample> m_reserve_sample;
};

}
