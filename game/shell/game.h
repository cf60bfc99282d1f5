#pragma once

#include "engine/base/shared_ptr.h"
#include "engine/platform/window.h"
#include "engine/res/skin_path.h"
#include "game/shell/shell.h"

namespace kq {

class UI;

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
    /// The window went inactive (true) or came back: the hider itself follows the window.
    virtual void on_suspend(bool suspended);

private:
    static Game* s_instance;
};

/// Creates the Game from its skin node and the UI and registers it, which initialises it.
/// Checks nothing first.
Game* start_game_service(const SkinPath& node, SharedPtr<UI> ui);
/// Unregisters the Game, which shuts it down and releases it.
void stop_game_service();

}
