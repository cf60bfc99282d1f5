// The game frame's mission: its start, its steps, the powerups and the menu, and its end.
#include "game/shell/play/game_frame.h"

#include <algorithm>
#include <string>

#include "engine/base/clock.h"
#include "engine/base/mainframe.h"
#include "engine/host/system/assert.h"
#include "engine/host/system/freed_memory.h"
#include "engine/platform/audio.h"
#include "engine/platform/sound.h"
#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/dialog.h"
#include "engine/ui/frame_manager.h"
#include "engine/ui/message_dialog.h"
#include "engine/ui/ui.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/app/game.h"
#include "game/shell/app/resource_groups.h"
#include "game/shell/dialogs/end_game_dlg.h"
#include "game/shell/dialogs/ingame_dlg.h"

namespace kq {

namespace {

constexpr int tick_period_ms = 10;
// The panels slide in from these offsets over these times.
constexpr int bottom_slide = -100;
constexpr int bottom_slide_ms = 800;
constexpr int meter_slide = 100;
constexpr int meter_slide_ms = 1500;
// The music while the mission's end is told: half as loud, faded in and out this fast.
constexpr int dim_fade_ms = 500;
// The reserve bonus: points per piece of a production turn, the pause between two turns, and
// where its text rises.
constexpr int reserve_points = 50;
constexpr int reserve_pause_ms = 70;
const Vector2<float> reserve_text_point{250.0f, 720.0f};
// A tip about no point of the screen: its pages place themselves.
const Vector2<int> no_tip_point{-1, -1};

Game& game()
{
    Game* game = Game::instance();
    KQ_ASSERT(game);
    return *game;
}

// The player record the field holds now: its lives and powerups, and its progress as the score.
FieldSettings record_of(const Field& field)
{
    FieldSettings record = field.settings();
    record.values[1] = field.progress();
    return record;
}

CreationIdol* creation_idol(const Field& field)
{
    for (const SharedPtr<Idol>& idol : field.idols())
        if (auto* creation = dynamic_cast<CreationIdol*>(idol.get()))
            return creation;
    return nullptr;
}

// A message dialog from the node, run over the parent; its result.
StrCache ask(const char* node, Control& parent)
{
    MessageDialog dialog;
    dialog.set_up(CIIndependent(SkinPath(node)));
    return dialog.run_modal(parent);
}

}

GameFrame::GameFrame() : m_field_game(game())
{
    m_top.set_up(CIIndependent(SkinPath("panels.top")));
    attach_to_parent(&m_top, this);
    m_top.on_menu().connect([this] { show_ingame_menu(); }, this);
    m_top.on_powerup().connect([this](Powerup powerup) { on_powerup(powerup); }, this);
    m_top.on_apply().connect([this] {
        if (m_field)
            m_field->apply();
    }, this);
    m_top.on_undo().connect([this] {
        if (m_field)
            m_field->undo();
    }, this);
    m_bottom.set_up(CIIndependent(SkinPath("panels.bottom")));
    attach_to_parent(&m_bottom, this);
    m_bottom.on_action().connect(
        [this](BottomPanelButton button) { run_deferred(this, [this, button] { on_bottom_button(button); }); }, this);
    m_left_meter.set_up(CIIndependent(SkinPath("panels.left_meter")));
    attach_to_parent(&m_left_meter, this);
    m_right_meter.set_up(CIIndependent(SkinPath("panels.right_meter")));
    attach_to_parent(&m_right_meter, this);
}

GameFrame::~GameFrame()
{
    cancel_deferred(this);
    for (Control* panel : {static_cast<Control*>(&m_top), static_cast<Control*>(&m_bottom),
                           static_cast<Control*>(&m_left_meter), static_cast<Control*>(&m_right_meter)})
        if (panel->parent() == this)
            detach_child(this, panel);
}

void GameFrame::read_skin()
{
    Frame::read_skin();
    m_cursors.clear();
    for (SkinChildIterator state(path() + "cursor"); !state.at_end(); state.next())
        read_cursor(state.path(), m_cursors[state.name()]);
    m_win_sample.read_name_from_skin(path() + "win_sample");
    m_lose_sample.read_name_from_skin(path() + "lose_sample");
    m_skip_sample.read_name_from_skin(path() + "skip_sample");
    m_start_sample.read_name_from_skin(path() + "start_sample");
    m_reserve_sample.read_name_from_skin(path() + "reserve_sample");
}

// --- the mission's start ---------------------------------------------------------------------

void GameFrame::on_attached()
{
    Frame::on_attached();
    game().preload(resource_group::field);
    m_last_tick = int(time_ms());
    start_mission();
    Mainframe::add_task([this] { tick(0); }, reinterpret_cast<Mainframe::TaskId>(this), tick_period_ms,
                        Mainframe::periodic);
    slide_panels_in();
    grab_keys(0);
    game().allow_tips(true);
    show_tips({"game1", "game2"});
    const Profile* profile = game().m_profile;
    if (profile && profile->chapter == 1 && profile->mission == 2)
        show_tips({"game_meter1", "game_meter2"});
}

void GameFrame::show_tips(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        game().show_tip(StrCache(name), no_tip_point);
}

void GameFrame::start_mission()
{
    Profile* profile = game().m_profile;
    KQ_ASSERT(profile);
    const SkinPath node("missions.chapter" + std::to_string(profile->chapter) + ".mission" +
                        std::to_string(profile->mission));
    MusicInfo music;
    music.sample.set_path(get_skin_text(node + "music"));
    read_skin_value(node + "music_start_time", &music.start_time);
    music.volume = 1.0f;
    set_music(music);
    play_once(m_start_sample);

    FieldSettings record;
    record.values = {profile->lives, profile->score};
    std::copy(profile->powerups.begin(), profile->powerups.end(), record.m_powerups.begin());
    m_field = SharedPtr<Field>(new Field(record, m_field_game));
    m_field->set_progress(profile->score);
    m_result = GameState::running;
    m_ending = false;
    m_field->read_skin(node);
    m_field->world().step(5.0f, 500);
    m_field->set_text_bounds(open_field());
    if (Audio* audio = Audio::instance())
        audio->set_pan_width(float(size().x));
    connect_field();
    m_top.set_record(record_of(*m_field), true);
    m_bottom.set_field(m_field.get());
    m_left_meter.set_field(m_field.get());
    m_right_meter.set_field(m_field.get());
    host::give_back_freed_memory();
}

Rect GameFrame::open_field() const
{
    const float left = float(m_left_meter.offset().x + m_left_meter.size().x);
    const float top = float(m_top.offset().y + m_top.size().y);
    return {left, top, float(m_right_meter.offset().x) - left, float(m_bottom.offset().y) - top};
}

void GameFrame::connect_field()
{
    m_field->on_game_state_changed().connect(
        [this](GameState state) { run_deferred(this, [this, state] { on_game_state(state); }); }, this);
    m_field->on_mode_changed().connect(
        [this](GameMode mode) { run_deferred(this, [this, mode] { on_game_mode(mode); }); }, this);
    m_field->on_powerups_changed().connect([this] { refresh_top_panel(); }, this);
    m_field->on_progress_changed().connect([this] { refresh_top_panel(); }, this);
}

void GameFrame::slide_panels_in()
{
    const Vector2<int> bottom = m_bottom.offset();
    m_bottom.move_to({bottom.x, bottom.y + bottom_slide}, bottom, bottom_slide_ms);
    const Vector2<int> left = m_left_meter.offset();
    m_left_meter.move_to({left.x - meter_slide, left.y}, left, meter_slide_ms);
    const Vector2<int> right = m_right_meter.offset();
    m_right_meter.move_to({right.x + meter_slide, right.y}, right, meter_slide_ms);
}

void GameFrame::on_detach()
{
    if (m_field && m_field->game_state() == GameState::running && !m_ending)
        game().allow_tips(false);
    m_field.reset();
    Frame::on_detach();
}

// --- play ------------------------------------------------------------------------------------

bool GameFrame::tick(int)
{
    if (!m_field)
        return true;
    const int now = int(time_ms());
    const int elapsed = now - m_last_tick;
    m_last_tick = now;
    if (game().idle_holds() > 0)
        return true;
    m_field_game.set_aim_held(holds_item());
    m_field->update(std::min(elapsed, max_step_ms));
    return true;
}

void GameFrame::refresh_top_panel()
{
    if (m_field)
        m_top.set_record(record_of(*m_field), false);
}

void GameFrame::on_powerup(Powerup powerup)
{
    if (!m_field || m_ending || m_field->mode() != GameMode::aim || m_field->powerups(powerup) <= 0 ||
        m_field->game_state() != GameState::running)
        return;
    if (powerup == Powerup::coin && ask("dialogs.coin_use", *this) != dialog_result_ok())
        return;
    // The question ran a nested loop: the mission may have ended meanwhile.
    if (m_field && !m_ending)
        m_field->select_powerup(powerup);
}

void GameFrame::on_bottom_button(BottomPanelButton button)
{
    if (!m_field)
        return;
    if (button == BottomPanelButton::apply && m_field->mode() == GameMode::strikes)
        m_field->apply();
    else if (button == BottomPanelButton::undo && m_field->can_undo())
        m_field->undo();
}

void GameFrame::show_ingame_menu()
{
    if (m_ending || !manager())
        return;
    game().show_hider();
    const StrCache result = run_ingame_menu();
    game().hide_hider();
    if (result != StrCache("exit") || !manager())
        return;
    FrameManager* frames = manager();
    frames->pop_frame(nullptr, Fade(0, 0));
    frames->pop_frame(nullptr, Fade(0, 0));
}

// --- the mission's end -----------------------------------------------------------------------

void GameFrame::on_game_state(GameState state)
{
    if (!m_field || m_ending || m_field->game_state() == GameState::running)
        return;
    if (state == GameState::fail && m_field->powerups(Powerup::coin) > 0 && offer_coin())
        return;
    end_mission(state);
}

bool GameFrame::offer_coin()
{
    if (m_field->settings().values[0] > 0) {
        if (ask("dialogs.coin_request", *this) != dialog_result_ok())
            return false;
    } else {
        ask("dialogs.coin_forced", *this);
    }
    if (!m_field || m_ending)
        return true;
    // The field ends the mission again, as skipped.
    m_field->select_powerup(Powerup::coin);
    return true;
}

void GameFrame::end_mission(GameState state)
{
    // Set first: the waits below run nested loops in which input, powerups and further state
    // changes must find the mission ending.
    m_ending = true;
    // The field lives on through the waits even if the frame is taken off meanwhile.
    const SharedPtr<Field> field = m_field;
    game().allow_tips(false);
    if (Audio* audio = Audio::instance()) {
        MusicInfo music;
        audio->current_music(music);
        music.start_time = MusicInfo::resume_start;
        music.volume /= 2.0f;
        audio->play_music(music, MusicFade{dim_fade_ms, dim_fade_ms});
    }
    Mainframe::wait(dim_fade_ms);
    if (state == GameState::win)
        count_reserve(*field);
    Mainframe::run_while([&field] { return game().idle_holds() > 0 || field->has_pending_effects(); });
    m_result = state;
    const int earned = field->progress() - (game().m_profile ? game().m_profile->score : 0);
    const int quality = quality_of(field->meter(), field->max_meter());
    write_results(state, *field);
    play_outcome_sound(state);
    show_end_dialog(state, field->field_time(), earned, quality);
    if (manager())
        manager()->pop_frame(this, state == GameState::fail ? Fade(1000, 0) : Fade(1000, 200));
}

void GameFrame::count_reserve(Field& field)
{
    CreationIdol* idol = creation_idol(field);
    if (!idol || idol->production_turns() <= 0)
        return;
    Sound reserve;
    reserve.play(m_reserve_sample.get(), true, 0.0f, 1.0f, 0);
    const int unit = idol->production_count() * reserve_points;
    field.floating_text(reserve_text_point, "+ " + std::to_string(unit * idol->production_turns()),
                        Color{1.0f, 1.0f, 1.0f, 1.0f});
    while (idol->production_turns() > 0) {
        idol->take_production_turn();
        field.add_progress(unit);
        field.add_meter(unit * 1000);
        Mainframe::wait(reserve_pause_ms);
    }
    reserve.stop();
}

void GameFrame::write_results(GameState state, const Field& field)
{
    Profile* profile = game().m_profile;
    if (!profile)
        return;
    const FieldSettings record = record_of(field);
    const int quality = quality_of(field.meter(), field.max_meter());
    profile->lives = record.values[0];
    profile->score = record.values[1];
    std::copy(record.m_powerups.begin(), record.m_powerups.end(), profile->powerups.begin());
    if (state == GameState::win)
        profile->add_mission_quality(quality);
    game().save();
}

int GameFrame::quality_of(int meter, int max_meter)
{
    if (max_meter <= 0)
        return 0;
    return int(std::int64_t(meter) * 100 / max_meter);
}

void GameFrame::play_outcome_sound(GameState state)
{
    switch (state) {
    case GameState::fail: play_once(m_lose_sample); break;
    case GameState::win: play_once(m_win_sample); break;
    case GameState::skip: play_once(m_skip_sample); break;
    default: break;
    }
}

void GameFrame::play_once(ResHandle<Sample>& sample)
{
    Sound().play(sample.get(), false, 0.0f, 1.0f, 0);
}

// --- the dialogs of other screens -----------------------------------------------------------

StrCache GameFrame::run_ingame_menu()
{
    IngameDlg menu(true);
    menu.set_up(CIIndependent(SkinPath("dialogs.ingame")));
    return menu.run_modal(*game().ui().root());
}

void GameFrame::show_end_dialog(GameState state, int time_ms, int score, int quality)
{
    Control* parent = this->parent();
    if (!parent)
        return;
    EndGameDlg dialog(state, time_ms, score, quality);
    dialog.set_up(CIIndependent(SkinPath("dialogs.endgame")));
    dialog.run_modal(*parent);
}

}
