#pragma once

#include <memory>
#include <string>

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "engine/ui/dialog.h"
#include "game/field/field_enums.h"

namespace kq {

/// The view flag ("EGVF_ANYKEY" in the skin) an end dialog shows once any press closes it.
inline constexpr std::uint32_t EGVF_ANYKEY = 4096;

/// The dialog that closes a mission: the chapter's scenery slides up into view with the
/// outcome's picture, the time, score and quality appear one after another with a "write"
/// sound, and then any key or mouse press closes it with "ok". Built on the stack from
/// "dialogs.endgame" and run modally. The reveal runs as the dialog's own task and stops as
/// soon as the dialog is closed or gone.
class EndGameDlg : public Dialog
{
public:
    /// Slide, reveal and reveal pause, in milliseconds.
    static constexpr int slide_ms = 384;
    static constexpr int reveal_step_ms = 750;

    /// The results of a mission: its outcome, the time it took, the score and quality earned.
    EndGameDlg(GameState state, int time_ms, int score, int quality);
    ~EndGameDlg() override;
    EndGameDlg(const EndGameDlg&) = delete;

    /// The time as "mm:ss", or "h:mm:ss" from an hour on.
    static std::string format_time(int time_ms);

    /// `Dialog`'s keys, then "write_sample".
    using Dialog::read_skin;
    void read_skin() override;
    /// The dialog's own sprite, then the sliding scenery with its shadow and the outcome's
    /// picture.
    void draw(Artist& artist) override;
    /// `Control`'s flags, with `EGVF_ANYKEY` in the mask and set once the reveal has ended.
    void get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const override;
    /// A press once the reveal has ended closes the dialog with "ok"; before that, presses
    /// only reach `Control`.
    bool on_key(Key key, KeyState state) override;
    /// The dialog's sprite and the outcome's picture expand their texts again.
    void refresh() override;
    /// Clones the outcome's picture, starts the slide and fades in (returns after the fade).
    void on_attached() override;

    /// Pixels the scenery still lies below its place.
    int slide() const { return m_slide; }
    /// Whether the reveal has ended.
    bool is_finished() const { return m_finished; }
    /// The dialog's copy of the chapter's picture for the outcome, or null.
    Sprite* state_sprite() const { return m_state_sprite.get(); }

private:
    void reveal();
    void write_line(const char* variable, const char* text);

    GameState m_outcome;
    SharedPtr<Sprite> m_state_sprite;
    ResHandle<Sample> m_write_sample;
    int m_time;
    int m_score;
    int m_quality;
    int m_slide = 0;
    bool m_finished = false;
    /// Expires with the dialog: the reveal, which outlasts single steps, checks it.
    std::shared_ptr<const EndGameDlg*> m_alive;
};

}
