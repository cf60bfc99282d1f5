#include "game/shell/app/game.h"

#include "engine/base/service.h"
#include "engine/host/system/freed_memory.h"
#include "engine/res/res.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/frame_manager.h"
#include "engine/ui/ui.h"
#include "game/shell/app/resource_groups.h"
#include "game/shell/dialogs/tip_dlg.h"
#include "game/shell/screens/load_frame.h"

namespace kq {

Game* Game::s_instance = nullptr;

Game::Game(const SkinPath& node, SharedPtr<UI> ui) : Shell(node, std::move(ui))
{
    s_instance = this;
    read_score_table(SkinPath(node, StrCache("score_table")), m_score_table);
    m_tip_sample.read_name_from_skin(SkinPath(node, StrCache("tip_sample")));
    m_tip_dialog = std::make_unique<TipDlg>();
    m_tip_dialog->set_up(CIIndependent(SkinPath("dialogs.tip")));
    m_tip_dialog->on_close().connect(
        [this](StrCache command) { run_deferred(this, [this, command] { on_tip_closed(command); }); }, this);
}

Game::~Game()
{
    // Before the shell's parts: the dialog's fade and key grab live in the UI.
    m_tip_dialog.reset();
    if (s_instance == this)
        s_instance = nullptr;
}

void Game::initialize()
{
    Shell::initialize();
    set_wait_mode(wait_paced);
    // Shell answers the window's activation with the hider; the game only saves then.
    window().on_activate().connect([this](bool active) { on_suspend(!active); }, this);
    read_catalogue(SkinPath("missions"), m_chapters);
    build_travel_route(m_chapters, m_travel_path);
    load();
}

void Game::shutdown()
{
    save();
    m_tip_dialog->detach();
    Shell::shutdown();
}

void Game::on_window_command(WindowCommand command)
{
    Shell::on_window_command(command);
    if (command == window_toggle_fullscreen && m_profile)
        m_profile->fullscreen = window().is_fullscreen();
}

void Game::on_suspend(bool suspended)
{
    if (suspended)
        save();
}

void Game::preload(unsigned groups)
{
    Res* res = Res::instance();
    const Res::FileFilter filter = [groups](StrCache, const ResKey& key) {
        return resource_group_filter(groups, key.m_path.c_str());
    };
    if (groups == 0 || !res || !res->has_unloaded(filter))
        return;
    // Without a screen to show it on, the loading screen would wait for ever.
    if (!frame_manager().is_attached()) {
        res->preload(filter, [](float) { return false; });
        host::give_back_freed_memory();
        return;
    }
    SharedPtr<LoadFrame> frame(new LoadFrame(filter));
    frame->set_up(CIIndependent(SkinPath("frames.load_frame")));
    frame_manager().run_frame(SharedPtr<Frame>(frame), Fade(250, 250));
    host::give_back_freed_memory();
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
