#include "game/shell/dialogs/main_dlg.h"

#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/frame_manager.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/app/game.h"
#include "game/shell/dialogs/score_dlg.h"
#include "game/shell/dialogs/select_profile_dlg.h"
#include "game/shell/dialogs/title_options_dlg.h"
#include "game/shell/screens/progress_frame.h"

namespace kq {

namespace {

bool is(StrCache result, const char* name)
{
    return result == StrCache(name);
}

/// The menu hidden for the life of the guard, then as it was.
class HiddenWhile
{
public:
    explicit HiddenWhile(Control& control)
        : m_control(control), m_was_hidden((control.state() & Control::state_hidden) != 0)
    {
        m_control.set_hidden(true);
    }
    ~HiddenWhile() { m_control.set_hidden(m_was_hidden); }
    HiddenWhile(const HiddenWhile&) = delete;

private:
    Control& m_control;
    bool m_was_hidden;
};

}

MainDlg::MainDlg()
{
    const std::pair<Button*, const char*> buttons[] = {
        {&m_introduce, "introduce"}, {&m_play, "play"}, {&m_options, "options"}, {&m_score, "score"}, {&m_exit, "exit"},
    };
    for (const auto& [button, name] : buttons)
        button->set_up(CIChild(this, name));
    m_introduce.on_click().connect([this] { run_deferred(this, [this] { on_introduce(); }); }, this);
    m_play.on_click().connect([this] { run_deferred(this, [this] { on_play(); }); }, this);
    m_options.on_click().connect([this] { run_deferred(this, [this] { on_options(); }); }, this);
    m_score.on_click().connect([this] { run_deferred(this, [this] { on_score(); }); }, this);
    m_exit.on_click().connect([this] { run_deferred(this, [this] { on_exit(); }); }, this);
}

MainDlg::~MainDlg()
{
    // Detached while the buttons still exist, so they leave the tree with the dialog.
    detach();
}

StrCache MainDlg::run_hidden(Dialog& dialog, const char* node)
{
    if (!parent())
        return dialog_result_cancel();
    HiddenWhile hidden(*this);
    dialog.set_up(CIIndependent(SkinPath(node)));
    return dialog.run_modal(*parent());
}

StrCache MainDlg::run_message(const char* node)
{
    MessageDialog dialog;
    return run_hidden(dialog, node);
}

void MainDlg::on_introduce()
{
    SelectProfileDlg dialog(false);
    run_hidden(dialog, "dialogs.select_profile");
}

void MainDlg::on_options()
{
    TitleOptionsDlg dialog;
    run_hidden(dialog, "dialogs.title_options");
}

void MainDlg::on_score()
{
    ScoreDlg dialog;
    run_hidden(dialog, "dialogs.score");
}

void MainDlg::on_exit()
{
    close(dialog_result_ok());
}

bool MainDlg::choose_game()
{
    Game& game = *Game::instance();
    Profile& profile = *game.m_profile;
    if (profile.has_game()) {
        const StrCache answer = run_message("dialogs.restart");
        if (is(answer, "new")) {
            const StrCache restart = run_message("dialogs.restart_type");
            if (is(restart, "game"))
                profile.finish_game(game.m_score_table);
            else if (is(restart, "chapter"))
                profile.restart_chapter(game.m_score_table);
            else
                return false;
        } else if (answer == dialog_result_cancel()) {
            return false;
        }
    }
    if (!profile.has_game()) {
        const StrCache mode = run_message("dialogs.new_game");
        const int difficulty = is(mode, "strategical") ? 2 : is(mode, "tactical") ? 1 : 0;
        profile.new_game(difficulty, game.m_score_table);
    }
    return true;
}

void MainDlg::on_play()
{
    Game* game = Game::instance();
    if (!game || !game->m_profile || !parent())
        return;
    // Hidden from the first question until the map has gone.
    HiddenWhile hidden(*this);
    if (!choose_game())
        return;
    game->save();
    SharedPtr<ProgressFrame> map(new ProgressFrame(game->map_screens()));
    map->set_up(CIIndependent(SkinPath("frames.progress_frame")));
    game->frame_manager().run_frame(SharedPtr<Frame>(map), Fade(400, 300));
}

}
