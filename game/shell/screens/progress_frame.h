#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <vector>

#include "engine/art/image_sprite.h"
#include "engine/art/sprite.h"
#include "engine/base/rect.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"
#include "engine/base/vector2.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "engine/ui/frame.h"
#include "game/field/field_enums.h"
#include "game/shell/play/top_panel.h"
#include "game/shell/progress/chapter.h"
#include "game/shell/progress/mission_event.h"
#include "game/shell/screens/map_screens.h"
#include "game/shell/screens/progress_panel.h"

namespace kq {

/// The travel map, the frame between missions: the campaign's map with the missions reached,
/// a flag for each (completed or pending), the chapters' trophies, the dotted route, drifting
/// clouds, a haze and a hovering eagle. It walks the traveller's flag along the route to the
/// next mission, shows the mission's events before and after it, plays the mission in a frame
/// of its own and moves the current profile on when the mission ends. The academy (chapter 1)
/// shows its board instead of the map, without route, flags, clouds, haze or eagle.
///
/// Its flow is a stage machine: each stage is entered from a run-once scheduler task that the
/// previous one posts, so that a stage's modal dialogs and frames never run inside the handler
/// that ended the stage before. Those tasks belong to the frame: none runs once it has left the
/// tree. It pops itself when the player leaves from the in-game menu or after a lost chapter,
/// and at the end of the game. Main thread only.
class ProgressFrame : public Frame
{
public:
    enum class Stage
    {
        arrive = 0,  ///< the flag stands at the mission: its pre-events, its map sprite fades in
        ready = 1,   ///< the play button shows; the frame waits for the player
        finish = 2,  ///< the mission was won or skipped: post-events, the profile moves on
        travel = 3,  ///< the flag walks to the next mission
    };

    /// The map's rectangle on the screen: it clips all map drawing and bounds the clouds.
    static constexpr RectI map_rect{72, 57, 879, 652};
    /// Distance units the flag walks a second.
    static constexpr float travel_speed = 25.0f;
    /// How long a mission's map sprite takes to fade in.
    static constexpr int fade_in_ms = 1200;

    /// The panels from "panels.top" and "panels.progress", the play button hidden; the
    /// frame's own node comes with `set_up` ("frames.progress_frame"). The map opens the
    /// screens given.
    explicit ProgressFrame(MapScreens screens);
    ProgressFrame(const ProgressFrame&) = delete;
    ProgressFrame& operator=(const ProgressFrame&) = delete;
    ~ProgressFrame() override;

    /// The frame's look, then, clipped to the map: the route's dots, the map's sprites and
    /// the trophies and, outside the academy, the traveller, the clouds, the haze and the eagle.
    void draw(Artist& artist) override;
    /// The base flags, with 0x100 set outside the academy.
    void get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const override;
    /// Enter and Space press play while the play button shows; both are always taken.
    bool on_key(Key key, KeyState state) override;
    /// Preloads the chapter, takes the keys, lays out the map with ten clouds across it, slides
    /// the top panel in, allows tips and posts the first stage.
    void on_attached() override;
    /// Gives the tips' permit and the keys back.
    void on_detach() override;
    using Frame::read_skin;
    /// The frame's keys, then "path_step", "travel.flag", "haze", "eagle" and
    /// "map_sprite_appear_sample".
    void read_skin() override;

    /// Enters the stage (run from the task `post_stage` posts).
    void enter_stage(Stage stage);
    /// Posts a task of the frame that enters the stage at the scheduler's next step, ahead of
    /// every timed task; nothing while the frame is not attached.
    void post_stage(Stage stage);
    /// Plays the current mission until it is won or skipped, the chapter is lost, or the frame
    /// leaves the tree; then posts the stage that follows.
    void play();
    /// The in-game menu, with the walk and fades paused while it is open.
    void on_menu();
    /// Lays out the map's sprites, flags and trophies of the chapters reached; the current
    /// mission counts as completed when `completed_now`. Also updates the panels and saves.
    void build_map(bool completed_now);
    /// Puts the flag at that distance along the route.
    void set_distance(float distance);
    /// Adds a cloud left of the map at a random height, size, speed and opacity.
    ImageSprite& add_cloud();

    float distance() const { return m_distance; }
    bool menu_open() const { return m_menu_open; }
    Sprite& map() { return m_map; }
    const std::map<int, SharedPtr<Sprite>>& trophies() const { return m_trophies; }
    ImageSprite& flag() { return m_flag; }
    ImageSprite& path_step() { return m_path_step; }
    std::list<ImageSprite>& clouds() { return m_clouds; }
    float haze_alpha() const { return m_haze_alpha; }
    TopPanel& top() { return m_top; }
    ProgressPanel& progress() { return m_progress; }

private:
    /// One step of a map sprite's fade-in; false once it is done.
    bool on_map_sprite_fade(const SharedPtr<Sprite>& sprite, bool post, int elapsed_ms);
    /// One step of the walk; false once the flag stands on the mission.
    bool on_travel(int elapsed_ms);
    void show_tips();
    bool is_paused() const;
    void preload_chapter();
    void show_events(const std::vector<MissionEvent>& events);
    void show_map_sprite(bool post);
    void start_travel();
    void add_map_sprites(int chapter, int mission, bool completed_now);
    void update_trophy(int chapter);
    void show_record();
    void draw_route(Artist& artist);
    void draw_clouds(Artist& artist, std::int32_t now);
    void draw_haze(Artist& artist);
    void draw_eagle(Artist& artist, std::int32_t now);

    MapScreens m_screens;
    Sprite m_map;
    std::map<int, SharedPtr<Sprite>> m_trophies;
    ImageSprite m_path_step;
    ImageSprite m_flag;
    ImageSprite m_haze;
    ImageSprite m_eagle;
    std::list<ImageSprite> m_clouds;
    Vector2<float> m_eagle_home;
    ResHandle<Sample> m_appear_sample;
    float m_distance = 0.0f;
    int m_travel_last = 0;
    TopPanel m_top;
    ProgressPanel m_progress;
    std::int32_t m_last_draw = -1;
    int m_cloud_time = 0;
    float m_haze_alpha = 0.0f;
    bool m_menu_open = false;
};

}
