// The travel map's flow: its set-up, the stages, the walk, the fades and the play loop. The
// map's layout and drawing are in progress_map.cpp.
#include "game/shell/screens/progress_frame.h"

#include <utility>

#include "engine/base/clone.h"
#include "engine/base/mainframe.h"
#include "engine/base/math_utils.h"
#include "engine/platform/sound.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/frame_manager.h"
#include "engine/ui/message_dialog.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"
#include "game/shell/app/resource_groups.h"

namespace kq {

namespace {

Game& game()
{
    return *Game::instance();
}

Profile& profile()
{
    return *game().m_profile;
}

/// Runs the message dialog of the node modally over the parent; its result.
StrCache run_message(const char* node, Control& parent)
{
    MessageDialog dialog;
    dialog.set_up(CIIndependent(SkinPath(node)));
    return dialog.run_modal(parent);
}

}

ProgressFrame::ProgressFrame(MapScreens screens) : m_screens(std::move(screens))
{
    m_top.set_up(CIIndependent(SkinPath("panels.top")));
    m_progress.set_up(CIIndependent(SkinPath("panels.progress")));
    attach_to_parent(&m_top, this);
    m_top.on_menu().connect([this] { run_deferred(this, [this] { on_menu(); }); }, this);
    attach_to_parent(&m_progress, this);
    m_progress.play_button().on_click().connect([this] { run_deferred(this, [this] { play(); }); }, this);
    m_progress.play_button().set_hidden(true);
}

ProgressFrame::~ProgressFrame()
{
    // Leaves the tree while the panels still exist, and takes its stage tasks with it.
    detach();
    detach_child(this, &m_progress);
    detach_child(this, &m_top);
}

void ProgressFrame::read_skin()
{
    Frame::read_skin();
    m_path_step.read_skin(path() + "path_step");
    m_flag.read_skin(path() + "travel" + "flag");
    m_haze.read_skin(path() + "haze");
    m_eagle.read_skin(path() + "eagle");
    m_eagle_home = m_eagle.position();
    m_appear_sample.read_name_from_skin(path() + "map_sprite_appear_sample");
}

void ProgressFrame::on_attached()
{
    Frame::on_attached();
    preload_chapter();
    if (host())
        grab_keys(0);
    set_distance(game().current_mission().distance);
    build_map(false);
    // The map starts clouded across its width.
    for (int i = 0; i < 10; ++i) {
        ImageSprite& cloud = add_cloud();
        cloud.set_position(Vector2<float>{float(map_rect.x + random_int(map_rect.w - 1)), cloud.position().y});
    }
    const Vector2<int> at = m_top.offset();
    m_top.move_to({at.x, at.y - 100}, at, 800);
    game().allow_tips(true);
    post_stage(profile().pre_events_shown ? Stage::ready : Stage::arrive);
}

void ProgressFrame::on_detach()
{
    game().allow_tips(false);
    release_keys();
    Frame::on_detach();
}

bool ProgressFrame::on_key(Key key, KeyState state)
{
    // Escape opens the map's menu, as the top panel's menu button does.
    if (state == state_down && key == key_escape) {
        if (!m_menu_open)
            run_deferred(this, [this] { on_menu(); });
        return true;
    }
    if (state != state_down || (key != key_enter && key != key_space))
        return Frame::on_key(key, state);
    Button& button = m_progress.play_button();
    if (button.is_visible(button.state()) && !button.is_disabled())
        play();
    return true;
}

void ProgressFrame::post_stage(Stage stage)
{
    if (!is_attached())
        return;
    // Keyed by the frame: leaving the tree removes a stage not entered yet.
    Mainframe::add_task([this, stage] { enter_stage(stage); }, reinterpret_cast<Mainframe::TaskId>(this), -100000,
                        Mainframe::run_once);
}

void ProgressFrame::enter_stage(Stage stage)
{
    Profile& player = profile();
    switch (stage) {
    case Stage::arrive:
        set_distance(game().current_mission().distance);
        build_map(false);
        show_events(game().current_mission().pre_event);
        player.pre_events_shown = true;
        game().save();
        show_map_sprite(true);
        break;
    case Stage::ready:
        set_distance(game().current_mission().distance);
        build_map(false);
        m_progress.play_button().set_hidden(false);
        show_tips();
        break;
    case Stage::finish: {
        m_progress.play_button().set_hidden(true);
        show_events(game().current_mission().post_event);
        build_map(true);
        if (player.chapter == int(game().m_chapters.size()) &&
            player.mission == int(game().current_chapter().missions.size()))
            run_message("dialogs.game_completed", *this);
        const int chapter = player.chapter;
        player.advance_mission(game().m_chapters, game().m_score_table);
        game().save();
        if (player.chapter != chapter)
            preload_chapter();
        if (player.chapter <= 0 && manager())
            manager()->pop_frame(this, Fade());
        post_stage(Stage::travel);
        break;
    }
    case Stage::travel:
        if (player.chapter == 1)
            show_map_sprite(false);
        else
            start_travel();
        break;
    }
}

void ProgressFrame::play()
{
    FrameManager* frames = manager();
    if (!frames)
        return;
    m_progress.play_button().set_hidden(true);
    game().allow_tips(false);
    bool first = true;
    Stage next = Stage::ready;
    for (;;) {
        SharedPtr<Frame> mission = m_screens.mission_frame();
        if (!mission)
            break;
        frames->run_frame(mission, first ? Fade(300, 2000) : Fade(0, 2000));
        const GameState outcome = m_screens.outcome(*mission);
        Profile& player = profile();
        if (outcome == GameState::fail && player.lives > 0) {
            player.lives -= 1;
            game().save();
            if (!is_attached() || !Mainframe::has_work())
                break;
            first = false;
            continue;
        }
        if (outcome == GameState::fail) {
            const StrCache result = run_message("dialogs.game_failed", *this);
            player.restart_chapter(game().m_score_table);
            game().save();
            if (result == StrCache("exit") && manager())
                manager()->pop_frame(this, Fade());
            next = Stage::arrive;
        } else if (outcome == GameState::win || outcome == GameState::skip) {
            player.award_trophy(outcome, game().current_chapter());
            next = Stage::finish;
            // Nobody is left to enter the next stage: the progress is kept here.
            if (!is_attached() || !Mainframe::has_work()) {
                player.advance_mission(game().m_chapters, game().m_score_table);
                game().save();
            }
        }
        break;
    }
    game().allow_tips(true);
    if (!is_attached())
        return;
    show_record();
    // The clouds' animations go on from now, not from before the mission.
    for (ImageSprite& cloud : m_clouds) {
        cloud.stop();
        if (cloud.timer())
            cloud.timer()->reset();
        cloud.start();
    }
    post_stage(next);
}

void ProgressFrame::on_menu()
{
    m_menu_open = true;
    const StrCache result = m_screens.menu(*game().ui().root());
    if (result == StrCache("exit") && manager())
        manager()->pop_frame(this, Fade(0, 1000));
    m_menu_open = false;
}

void ProgressFrame::show_tips()
{
    constexpr Vector2<int> anywhere{-1, -1};
    game().show_tip(StrCache("travel_map"), anywhere);
    // The meadow's missions introduce the panel's meters.
    if (profile().chapter != 2)
        return;
    if (profile().mission == 3)
        game().show_tip(StrCache("score_meter"), anywhere);
    if (profile().mission == 6)
        game().show_tip(StrCache("quality_meter"), anywhere);
}

bool ProgressFrame::is_paused() const
{
    return m_menu_open || game().idle_holds() > 0;
}

void ProgressFrame::preload_chapter()
{
    const int chapter = profile().chapter;
    unsigned groups = chapter == 1 ? resource_group::academy : resource_group::map;
    if (chapter >= 1 && chapter <= 8)
        groups |= resource_group::chapter(chapter);
    game().preload(groups);
}

void ProgressFrame::set_distance(float distance)
{
    m_distance = distance;
    const Vector2<float> place = game().m_travel_path.value(distance);
    if (place != m_flag.position())
        m_flag.set_position(place);
}

void ProgressFrame::show_events(const std::vector<MissionEvent>& events)
{
    if (!events.empty())
        m_screens.events(*this, game().current_chapter(), events);
}

void ProgressFrame::show_map_sprite(bool post)
{
    const Stage next = post ? Stage::ready : Stage::arrive;
    const Mission& mission = game().current_mission();
    if (!mission.map_sprite || mission.map_sprite_post != post) {
        post_stage(next);
        return;
    }
    SharedPtr<Sprite> sprite(rtti::clone(mission.map_sprite.get()));
    sprite->set_color(Color{1, 1, 1, 0});
    Sound().play(m_appear_sample.get(), false, 0.0f, 1.0f, 0);
    m_map.add_child(sprite);
    add_timer([this, sprite, post](int elapsed_ms) { return on_map_sprite_fade(sprite, post, elapsed_ms); }, 0);
}

bool ProgressFrame::on_map_sprite_fade(const SharedPtr<Sprite>& sprite, bool post, int elapsed_ms)
{
    // A pause does not stop the time: a fade paused for longer ends at its next step.
    if (is_paused())
        return true;
    if (elapsed_ms < fade_in_ms) {
        sprite->set_color(Color{1, 1, 1, float(elapsed_ms) / float(fade_in_ms)});
        return true;
    }
    sprite->set_color(Color{1, 1, 1, 1});
    post_stage(post ? Stage::ready : Stage::arrive);
    return false;
}

void ProgressFrame::start_travel()
{
    if (profile().mission == 1)
        m_progress.set_hide_mission_name(true);
    m_travel_last = 0;
    add_timer([this](int elapsed_ms) { return on_travel(elapsed_ms); }, 0);
}

bool ProgressFrame::on_travel(int elapsed_ms)
{
    // The clock moves on while paused, so the flag goes on from where it stopped.
    const int dt = elapsed_ms - m_travel_last;
    m_travel_last = elapsed_ms;
    if (is_paused())
        return true;
    set_distance(m_distance + float(dt) * (travel_speed / 1000.0f));
    const Mission& mission = game().current_mission();
    if (m_distance < mission.distance)
        return true;
    if (profile().mission == 1)
        m_progress.set_hide_mission_name(false);
    set_distance(mission.distance);
    show_map_sprite(false);
    return false;
}

}
