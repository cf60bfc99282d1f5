#pragma once

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/ui/control.h"
#include "engine/ui/slider.h"

namespace kq {

/// A scrolling viewport: one content sprite (the "fragment") shown through the view, the
/// control less four margins, clipped to it and shifted by the scroll offset. The sliders
/// "hor_scroll" and "vert_scroll" mirror and move the offset; a middle-button drag moves the
/// content with the pointer and the wheel scrolls 10 pixels a notch. The offset stays within
/// 0 and the content size less the view size on each axis.
class ClipBox : public Control
{
public:
    /// No content, no margins, scroll (0, 0); the sliders are listed as the children
    /// "hor_scroll" and "vert_scroll" and move the offset in the scheduler step after a change.
    ClipBox();
    /// The other's settings and margins, without content, scrolled to (0, 0); not attached,
    /// no handlers.
    ClipBox(const ClipBox& other);
    ~ClipBox() override;

    /// The control's sprite, then the content through the view.
    void draw(Artist& artist) override;
    /// While dragging: the content follows the pointer.
    void on_mouse_move(Vector2<int> point) override;
    /// Scrolls a tenth of the delta up (a turn toward the user moves the content up).
    void on_wheel(int delta) override;
    /// The middle button drags (always consumed); other keys get the base reaction.
    bool on_key(Key key, KeyState state) override;
    /// The base layout, then the scroll bars follow.
    void relayout() override;
    /// The control's keys, then "ub", "bb", "lb", "rb" and, when present, "fragment".
    void read_skin() override;

    /// Moves the offset, held within its range per axis; the scroll bars follow.
    void set_scroll(Vector2<int> point);
    /// Gives each scroll bar its axis's range and the offset, disabled when there is nothing
    /// to scroll; no slider signal results.
    void update_scrollbars();
    /// Resizes the content sprite to `size` when it differs from the rounded content size.
    void set_content_size(Vector2<int> size);
    /// Shows `sprite` (may be null) at (0, 0) of the content.
    void set_content(SharedPtr<Sprite> sprite);

    Vector2<int> scroll() const { return m_scroll; }
    /// The content sprite's size rounded half away from zero; (0, 0) without content.
    Vector2<int> content_size() const;
    /// The view: the control's rectangle less the margins, in its own coordinates.
    RectI view() const;
    /// The greatest offset per axis.
    Vector2<int> max_scroll() const;
    Sprite* content() const { return m_content.get(); }
    Slider& hor_scroll() { return m_hor_scroll; }
    Slider& vert_scroll() { return m_vert_scroll; }

protected:
    /// A point of the control in content coordinates.
    Vector2<int> to_content(Vector2<int> point) const;

private:
    void set_up_scrollbars();

    Vector2<int> m_scroll;
    int m_top = 0;
    int m_bottom = 0;
    int m_left = 0;
    int m_right = 0;
    bool m_dragging = false;
    Vector2<int> m_drag_point;
    SharedPtr<Sprite> m_content;
    Slider m_hor_scroll;
    Slider m_vert_scroll;
};

}

KQ_TYPE_NAME(kq::ClipBox, "class kq::ClipBox");
