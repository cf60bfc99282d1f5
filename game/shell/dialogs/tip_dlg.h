#pragma once

#include "engine/art/image_sprite.h"
#include "engine/ui/button.h"
#include "engine/ui/check_box.h"
#include "engine/ui/dialog.h"

namespace kq {

/// One page of a tip: the text in the variable "tip", "ok", the "hide" box that switches the
/// current player's tips off, and an arrow at one corner pointing away from the dialog towards
/// the point the tip is about, moving to and fro along its axis. The Game builds it once from
/// "dialogs.tip", places it for each page and attaches it; "ok" or any press closes it. It is
/// shown only while there is a current profile.
class TipDlg : public Dialog
{
public:
    /// The corner of `set_arrow` that hides the arrow.
    static constexpr int no_arrow = -1;
    /// How far the arrow moves towards the dialog.
    static constexpr float arrow_travel = 22.0f;

    /// The arrow, "ok" (closes one step after the click) and "hide".
    TipDlg();
    ~TipDlg() override;
    TipDlg(const TipDlg&) = delete;

    /// The arrow, over the text and the buttons.
    void draw_over(Artist& artist) override;
    /// Any press closes the page with "ok"; a release goes to `Dialog`.
    bool on_key(Key key, KeyState state) override;
    /// `Dialog`'s attach; "hide" shows the opposite of the profile's tips.
    void on_attach() override;
    /// Fades in.
    void on_attached() override;
    /// `Dialog`'s keys, then the arrow from the node "arrow".
    using Dialog::read_skin;
    void read_skin() override;
    /// The profile's tips become the opposite of "hide"; then it fades out.
    void on_close(StrCache result) override;
    using Dialog::on_close;

    /// Puts the arrow at a corner (0 bottom right, 1 bottom left, 2 top left, 3 top right)
    /// turned away from the dialog, or hides it (`no_arrow`).
    void set_arrow(int corner);

    ImageSprite& arrow() { return m_arrow; }
    Button& ok_button() { return m_ok; }
    CheckBox& hide_box() { return m_hide; }

private:
    ImageSprite m_arrow;
    Button m_ok;
    CheckBox m_hide;
};

}
