#pragma once

#include <string>

#include "engine/base/service.h"
#include "engine/base/shared_ptr.h"
#include "engine/platform/sample.h"
#include "engine/platform/window.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin_path.h"
#include "engine/ui/console_dialog.h"
#include "engine/ui/control.h"
#include "engine/ui/debug_dialog.h"
#include "engine/ui/frame_manager.h"

namespace kq {

class UI;

/// The service "shell": turns the engine's services into a running screen application. It
/// keeps the frame manager on the UI's root with the debug and console overlays above it,
/// covers the screen with the "controls.hider" control while the window is inactive, decides
/// how the scheduler waits, plays the logo intro, and posts the one task in which the whole
/// game runs (`run`, then quit). The game's service derives from it; there is one per
/// process. Main thread only.
class Shell : public Service
{
public:
    /// How the scheduler waits when no task is due (`set_wait_mode`).
    enum WaitMode
    {
        wait_sleep = 0,   ///< always sleeps until the next due task
        wait_paced = 1,   ///< draws at the display's pace, at most 100 frames a second, and
                          ///< sleeps between frames; the game's mode
        wait_never = 2,   ///< never sleeps: runs the earliest task at once
    };

    /// Builds the frame manager, the overlays and the hider from their skin nodes and reads
    /// the music name "title_music" under `node`; nothing is attached or loaded yet.
    Shell(const SkinPath& node, SharedPtr<UI> ui);
    ~Shell() override;

    /// Applies the wait mode, hides the cursor, sets the volume groups, makes the personal
    /// folder, puts the frame manager and the overlays on the UI's root, connects to the
    /// window and posts the start task that runs `run` and then quits.
    void initialize() override;
    /// Takes everything off the UI's root and drops the window connections.
    void shutdown() override;

    /// The game's flow, run once from the start task; here: plays the title music.
    virtual void run();
    /// A window command, delivered one step after the window reported it: toggling full
    /// screen switches the window's mode; closing calls `on_close`; others do nothing.
    virtual void on_window_command(WindowCommand command);
    /// The reaction to the window's close command: ends the main loop.
    virtual void on_close();

    /// The window became active (true) or inactive: mutes the sound while inactive and shows
    /// the hider (an idle hold) until it is active again.
    void on_activate(bool active);
    /// The logo intro: a black frame, then "logo1.jpg", "logo2.jpg"... of the folder, each in
    /// an intro frame that closes by itself or at the first input; the first missing number
    /// ends it. The folder's path ends with "/".
    void play_intro(const std::string& directory);

    /// Takes an idle hold: while any is held the scheduler sleeps between tasks and the game
    /// does not advance.
    void hold_idle();
    /// Drops an idle hold; one never taken is logged and ignored.
    void release_idle();
    /// Takes a hider hold: the first one takes an idle hold and puts the hider over the screen.
    void show_hider();
    /// Drops a hider hold: the last one takes the hider away and drops its idle hold; one
    /// never taken is logged and ignored.
    void hide_hider();
    /// Sets and applies the wait mode (0 to 2; another value is logged and ignored).
    void set_wait_mode(int mode);
    /// Sets the volume of every effect group: 0 (the field's and the screens' effects), 2
    /// (the interface's own sounds) and 3 (the options' example of the effect volume).
    static void set_effect_volume(float volume);

    /// The stack of full screens.
    FrameManager& frame_manager() { return m_frame_manager; }
    /// The UI the shell runs on.
    UI& ui() const { return *m_ui; }
    /// The UI's window.
    Window& window() const;
    /// The cover shown while the window is inactive.
    Control& hider() { return m_hider; }
    /// The title music (streamed).
    ResHandle<Sample>& title_music() { return m_title_music; }
    int idle_holds() const { return m_idle_holds; }
    int hider_holds() const { return m_hider_holds; }
    int wait_mode() const { return m_wait_mode; }

    /// The sound groups: effects, music, the interface's own sounds, the options' example.
    static constexpr int group_effects = 0;
    static constexpr int group_music = 1;
    static constexpr int group_interface = 2;
    static constexpr int group_example = 3;

private:
    void apply_wait_mode();
    void run_game();

    SharedPtr<UI> m_ui;
    FrameManager m_frame_manager;
    DebugDialog m_debug_dialog;
    ConsoleDialog m_console_dialog;
    ResHandle<Sample> m_title_music;
    int m_idle_holds = 0;
    int m_hider_holds = 0;
    Control m_hider;
    int m_wait_mode = wait_sleep;
};

}
