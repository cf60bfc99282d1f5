#include "game/shell/game.h"

#include "engine/base/service.h"
#include "engine/ui/ui.h"

namespace kq {

Game* Game::s_instance = nullptr;

Game::Game(const SkinPath& node, SharedPtr<UI> ui) : Shell(node, std::move(ui))
{
    s_instance = this;
}

Game::~Game()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void Game::initialize()
{
    Shell::initialize();
    set_wait_mode(wait_paced);
    // Shell answers the window's activation with the hider; the game only saves then.
    window().on_activate.connect([this](bool active) { on_suspend(!active); }, this);
}

void Game::shutdown()
{
    Shell::shutdown();
}

void Game::on_window_command(WindowCommand command)
{
    Shell::on_window_command(command);
}

void Game::on_suspend(bool)
{
}

Game* start_game_service(const SkinPath& node, SharedPtr<UI> ui)
{
    Game* game = new Game(node, std::move(ui));
    start_service(game);
    return game;
}

void stop_game_service()
{
    stop_service(Game::instance());
}

}
