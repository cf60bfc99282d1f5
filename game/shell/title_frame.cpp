#include "game/shell/title_frame.h"

#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/frame_manager.h"
#include "game/shell/game.h"
#include "game/shell/game_frame.h"

namespace kq {

namespace {

// The name of the player made when there is none.
constexpr const char* first_player = "Player";

}

void TitleFrame::on_attached()
{
    Frame::on_attached();
    grab_keys(0);
}

void TitleFrame::on_detach()
{
    cancel_deferred(this);
    release_keys();
    Frame::on_detach();
}

bool TitleFrame::on_key(Key key, KeyState state)
{
    if (state != state_down || !manager())
        return Frame::on_key(key, state);
    if (key == key_escape) {
        manager()->pop_frame(this, Fade::standard());
        return true;
    }
    if (key == key_enter || key == key_mouse_left) {
        run_deferred(this, [this] { play_mission(); });
        return true;
    }
    return Frame::on_key(key, state);
}

void TitleFrame::play_mission()
{
    Game* game = Game::instance();
    if (!game || !manager() || manager()->top() != this)
        return;
    if (!game->m_profile)
        game->select_profile(first_player);
    Profile& profile = *game->m_profile;
    if (!profile.has_game() || !game->m_chapters.count(profile.chapter))
        profile.new_game(profile.difficulty, game->m_score_table);
    game->save();

    SharedPtr<GameFrame> frame(new GameFrame);
    frame->set_up(CIIndependent(SkinPath("frames.game_frame")));
    manager()->run_frame(SharedPtr<Frame>(frame), Fade::standard());
    const GameState result = frame->result();
    if ((result == GameState::win || result == GameState::skip) && game->m_profile) {
        game->m_profile->advance_mission(game->m_chapters, game->m_score_table);
        game->save();
    }
}

}
