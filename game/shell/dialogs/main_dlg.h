#pragma once

#include "engine/ui/button.h"
#include "engine/ui/dialog.h"

namespace kq {

/// The main menu over the title screen: choose the player, play (start or continue the game on
/// the travel map), the options, the best scores, and leave ("ok"). Each button acts one
/// scheduler step after its click; the menu hides while what it opened runs. Built on the
/// stack from "dialogs.main" and run modally over the title screen.
class MainDlg : public Dialog
{
public:
    /// The five buttons.
    MainDlg();
    ~MainDlg() override;
    MainDlg(const MainDlg&) = delete;

    /// Choosing the player ("dialogs.select_profile").
    void on_introduce();
    /// Asks whether to continue or restart a game in progress and which game to start, saves
    /// and runs the travel map ("frames.progress_frame").
    void on_play();
    /// The title options ("dialogs.title_options").
    void on_options();
    /// The best scores ("dialogs.score").
    void on_score();
    /// Closes the menu with "ok": the game ends.
    void on_exit();

    Button& introduce_button() { return m_introduce; }
    Button& play_button() { return m_play; }
    Button& options_button() { return m_options; }
    Button& score_button() { return m_score; }
    Button& exit_button() { return m_exit; }

private:
    /// Sets the dialog up from the node and runs it over the menu's parent, the menu hidden
    /// meanwhile; its result.
    StrCache run_hidden(Dialog& dialog, const char* node);
    /// The result of the message dialog of the node.
    StrCache run_message(const char* node);
    /// The player's game after the questions; false when the player gave up.
    bool choose_game();

    Button m_introduce;
    Button m_play;
    Button m_options;
    Button m_score;
    Button m_exit;
};

}
