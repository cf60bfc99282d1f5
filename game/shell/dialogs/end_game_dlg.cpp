#include "game/shell/dialogs/end_game_dlg.h"

#include <cstdio>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/clone.h"
#include "engine/base/mainframe.h"
#include "engine/platform/artist.h"
#include "engine/platform/sound.h"
#include "engine/ui/deferred.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

// The chapter of the game in progress, or null when there is none (no Game, no profile, no
// game, or a chapter the catalogue lacks).
const Chapter* chapter_in_play()
{
    const Game* game = Game::instance();
    if (!game || !game->m_profile || !game->m_profile->has_game())
        return nullptr;
    const auto found = game->m_chapters.find(game->m_profile->chapter);
    return found == game->m_chapters.end() ? nullptr : &found->second;
}

TimeStamp now_stamp()
{
    return TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr};
}

void render_if_set(const SharedPtr<Sprite>& sprite, Artist& artist)
{
    if (!sprite)
        return;
    sprite->tick(now_stamp());
    sprite->render(artist);
}

}

EndGameDlg::EndGameDlg(GameState state, int time_ms, int score, int quality)
    : m_outcome(state), m_time(time_ms), m_score(score), m_quality(quality),
      m_alive(std::make_shared<const EndGameDlg*>(this))
{
}

EndGameDlg::~EndGameDlg()
{
    m_alive.reset();
    detach();
}

std::string EndGameDlg::format_time(int time_ms)
{
    int seconds = time_ms / 1000;
    const int hours = seconds / 3600;
    std::string text;
    if (hours > 0) {
        text = std::to_string(hours) + ":";
        seconds %= 3600;
    }
    char rest[16];
    std::snprintf(rest, sizeof rest, "%02d:%02d", seconds / 60, seconds % 60);
    return text + rest;
}

void EndGameDlg::read_skin()
{
    Dialog::read_skin();
    m_write_sample.read_name_from_skin(path() + "write_sample");
}

void EndGameDlg::get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const
{
    Control::get_view_flags(sprite, mask, flags);
    mask |= EGVF_ANYKEY;
    if (m_finished)
        flags |= EGVF_ANYKEY;
}

bool EndGameDlg::on_key(Key key, KeyState state)
{
    if (state == state_down && m_finished) {
        close(dialog_result_ok());
        return true;
    }
    return Dialog::on_key(key, state);
}

void EndGameDlg::refresh()
{
    Control::refresh();
    if (m_state_sprite)
        m_state_sprite->on_data_changed();
}

void EndGameDlg::on_attached()
{
    Dialog::on_attached();
    const Chapter* chapter = chapter_in_play();
    const auto found = chapter ? chapter->state_sprites.find(m_outcome) : decltype(chapter->state_sprites.end()){};
    if (chapter && found != chapter->state_sprites.end() && found->second) {
        // A copy: the chapter's own picture is shared by every end of its missions.
        m_state_sprite = SharedPtr<Sprite>(rtti::clone(found->second.get()));
        m_state_sprite->set_position(Vector2<float>{0.0f, 0.0f});
        m_state_sprite->set_size(size());
        m_state_sprite->set_data_provider(
            [this](const std::string& name, std::string& value) { return get_variable(name, value); });
        m_state_sprite->on_data_changed();
        for (const char* line : {"time_text", "score_text", "quality_text"})
            set_variable(line, "");
    }
    m_slide = 768;
    add_timer(
        [this](int elapsed) {
            m_slide = 2 * (slide_ms - elapsed);
            if (m_slide > 0)
                return true;
            m_slide = 0;
            run_deferred(this, [this] { reveal(); });
            return false;
        },
        0);
    fade_color({1, 1, 1, 0}, {1, 1, 1, 1}, true);
}

void EndGameDlg::reveal()
{
    set_variable("time_spent", format_time(m_time));
    set_variable("score_earned", std::to_string(m_score));
    set_variable("quality_earned", std::to_string(m_quality));
    const std::weak_ptr<const EndGameDlg*> alive = m_alive;
    // The waits run the whole game: the dialog may be closed or destroyed meanwhile.
    const auto wait_step = [this, &alive] {
        Mainframe::wait(reveal_step_ms);
        return !alive.expired() && is_attached();
    };
    if (!wait_step())
        return;
    write_line("time_text", "{#ui.endgame.time}");
    if (!wait_step())
        return;
    write_line("score_text", "{#ui.endgame.score}");
    if (!wait_step())
        return;
    write_line("quality_text", "{#ui.endgame.quality}");
    if (!wait_step())
        return;
    Sound().play(m_write_sample.get(), false, 0.0f, 1.0f, 0);
    m_finished = true;
}

void EndGameDlg::write_line(const char* variable, const char* text)
{
    Sound().play(m_write_sample.get(), false, 0.0f, 1.0f, 0);
    set_variable(variable, text);
}

void EndGameDlg::draw(Artist& artist)
{
    Control::draw(artist);
    const Chapter* chapter = chapter_in_play();
    artist.push_translation(Vector2<int>{0, m_slide});
    if (chapter) {
        artist.multiply_global_color({0.0f, 0.0f, 0.0f, 0.4f});
        artist.push_translation(Vector2<int>{15, 15});
        render_if_set(chapter->background, artist);
        render_if_set(chapter->overground, artist);
        artist.pop_transformation();
        artist.pop_global_color();
        render_if_set(chapter->background, artist);
    }
    if (m_state_sprite) {
        m_state_sprite->tick(now_stamp());
        m_state_sprite->render(artist);
    }
    if (chapter)
        render_if_set(chapter->overground, artist);
    artist.pop_transformation();
}

}
