#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/shared_ptr.h"
#include "engine/base/socket.h"
#include "engine/platform/window.h"
#include "engine/res/skin_path.h"
#include "game/shell/app/shell.h"
#include "game/shell/progress/catalogue.h"
#include "game/shell/progress/profile.h"
#include "game/shell/progress/save_file.h"
#include "game/shell/progress/score_entry.h"
#include "game/shell/screens/map_screens.h"

namespace kq {

class TipDlg;
class UI;

/// A page of a tip waiting to be shown: its text and the screen point it is about ((-1, -1):
/// none, the page is centred).
struct TipPage
{
    Vector2<int> position;
    std::string text;
};

/// The service of the game: the shell, with the campaign's catalogue and the players'
/// progress, which every screen reaches through `Game::instance`. Its `run` is the whole flow
/// of the screens: title music, logo intro, preload, title screen. There is exactly one while
/// the game runs. Main thread only.
class Game : public Shell
{
public:
    /// The shell over the node and the UI; the new Game becomes the process's Game.
    Game(const SkinPath& node, SharedPtr<UI> ui);
    ~Game() override;

    /// The running Game, or null.
    static Game* instance() { return s_instance; }

    /// The shell's start, then wait mode 1 and the game's own data.
    void initialize() override;
    /// The shell's shutdown after the game's own.
    void shutdown() override;
    /// Title music, the logos of "art/logo/", the preload of the menus, then the title frame,
    /// inside which the whole game runs.
    void run() override;
    /// The shell's handling of the command.
    void on_window_command(WindowCommand command) override;
    /// The window went inactive (true: the game saves) or came back: the hider itself follows
    /// the window.
    virtual void on_suspend(bool suspended);

    /// The chapter of the current profile's game; a game must be in progress.
    const Chapter& current_chapter() const;
    /// The mission of the current profile's game; a game must be in progress.
    const Mission& current_mission() const;
    /// The profile of exactly that name, or null.
    Profile* find_profile(const std::string& name);
    /// Calls `visit` for every profile in list order.
    void for_each_profile(const std::function<void(const Profile&)>& visit) const;
    /// The score list: the best score of each player name, recorded or in progress, highest
    /// first and at most five.
    void build_score_list(std::vector<ScoreEntry>& out) const;
    /// "game.cfg" in the application's folder of the user's data; throws `IOException` before
    /// the application has set it.
    static std::string save_file_path();

    /// Makes the profile of the name current and applies its settings; an unknown name makes
    /// a new profile with the present settings; then `m_profile_changed`. An empty name does
    /// nothing. Does not save.
    void select_profile(const std::string& name);
    /// Removes the profile of the name (none: nothing); the current one leaves no current
    /// profile. Does not save.
    void delete_profile(const std::string& name);
    /// Puts the current profile's full screen, cursor and volumes into effect.
    void apply_profile_settings();
    /// Takes the present full screen, cursor and volumes into the current profile, then
    /// applies them.
    void capture_profile_settings();
    /// Raises the current player's entry of the score table to the current profile's score.
    void record_score();
    /// Writes "game.cfg" from the players' data; never throws: a failure is logged and false,
    /// and the next save tries again.
    bool save();
    /// Reads "game.cfg" (at the end of `initialize`) and selects the current profile it names;
    /// never throws. False, and nothing changed, for a missing, newer or damaged file (the last
    /// two are set aside before any save).
    bool load();
    /// Loads the resource files of the groups (bits of `resource_group`) not loaded yet behind
    /// the loading screen ("frames.load_frame"), waiting until it has gone.
    void preload(unsigned groups);

    /// Asks for the tip of the name about a screen point ((-1, -1): each page's own point).
    /// While tips are allowed it is shown once per player: marked as seen and saved at once,
    /// then its pages (the children of "tips" tagged with the name) queue behind the page on
    /// screen. Never throws: a tip without pages or with a broken page is logged.
    void show_tip(StrCache name, Vector2<int> position);
    /// Shows the front page of the queue in the tip dialog, placed in the point's quarter of
    /// the screen with its arrow towards the point, holding the idle while it is open; with
    /// the player's tips off (or no player) the queue is dropped instead.
    void show_next_tip();
    /// A page was closed: it leaves the queue, the idle hold goes and the next page shows.
    void on_tip_closed(StrCache command);
    /// Takes (true) or gives back (false) a permit: tips show while any is held.
    void allow_tips(bool allow) { m_tip_permits += allow ? 1 : -1; }
    bool tips_allowed() const { return m_tip_permits > 0; }
    /// The pages waiting, the one on screen first.
    const std::deque<TipPage>& tip_pages() const { return m_tip_pages; }
    /// The one tip dialog.
    TipDlg& tip_dialog() { return *m_tip_dialog; }
    /// The screens every travel map of this game opens (the game's own unless replaced).
    MapScreens& map_screens() { return m_map_screens; }

    /// Emitted after `select_profile` changed the current profile.
    Socket<void()> m_profile_changed;
    /// The current profile, an element of `m_profiles`; null when none is selected.
    Profile* m_profile = nullptr;
    /// Every profile in creation order (the save file's order).
    Profiles m_profiles;
    /// The current profile's name; empty when none.
    std::string m_profile_name;
    /// The best finished-game score per player name.
    ScoreTable m_score_table;
    /// Kept in the save file, used by nothing else.
    bool m_reserved_flag = false;
    /// The campaign: chapters by number, read once at the start.
    Chapters m_chapters;
    /// The travel route across the missions, keyed by travelled distance.
    TravelPath m_travel_path;

private:
    static Game* s_instance;
    /// Set by `load`; none when the personal folder could not be named.
    std::optional<SaveFile> m_save_file;
    std::unique_ptr<TipDlg> m_tip_dialog;
    std::deque<TipPage> m_tip_pages;
    int m_tip_permits = 0;
    MapScreens m_map_screens = game_map_screens();
    ResHandle<Sample> m_tip_sample;
};

/// Creates the Game from its skin node and the UI and registers it, which initialises it.
/// Checks nothing first.
Game* start_game_service(const SkinPath& node, SharedPtr<UI> ui);
/// Unregisters the Game, which shuts it down and releases it.
void stop_game_service();

}
