#pragma once

#include <vector>

#include "engine/base/socket.h"
#include "engine/ui/clip_box.h"

namespace kq {

/// A clip box whose content holds a vertical stack of item sprites, top to bottom without
/// gaps, with at most one selected item (its sprite carries the focused look, state bit 8).
/// The user selects with the left button and, while the box has the focus, with Up and Down
/// (which wrap); a double click activates the selected item.
class ListBox : public ClipBox
{
public:
    ListBox() = default;
    /// The other's settings, without content or items; not attached, no handlers.
    ListBox(const ListBox& other);

    /// Left press: selects the item under the mouse (none on empty space); double click:
    /// activates the selection; Up and Down move it. Then the clip box's reaction.
    bool on_key(Key key, KeyState state) override;
    /// Takes the keyboard (an input-owner entry) while focused.
    void on_set_focus() override;
    /// Lets the keyboard go.
    void on_kill_focus() override;
    /// The base layout, the scroll bars, then every item is laid out again.
    void relayout() override;
    /// The clip box's keys (its content becomes the items' container), then "stretch" and each
    /// child tagged "item" that gives a sprite, appended in order.
    void read_skin() override;

    /// Inserts the item at `index` (held to 0 to the count) and returns where it went; the
    /// selected item stays selected.
    int insert(const SharedPtr<Sprite>& sprite, int index);
    /// Appends the item.
    int add(const SharedPtr<Sprite>& sprite) { return insert(sprite, count()); }
    /// Removes the item (nothing for an index out of range); removing the selected one leaves
    /// no selection. No signal.
    void remove(int index);
    /// Selects an existing item, or none with -1; no signal, no scrolling.
    void select(int index);
    /// Selects, scrolls the new selection into view and emits `m_on_select`, when it changes.
    void select_and_notify(int index);
    /// Scrolls vertically the least that shows the whole item (its bottom when it is taller
    /// than the view).
    void scroll_to_item(int index);
    /// The item under a point of the control, or -1.
    int item_at(Vector2<int> point) const;

    /// The item, or null out of range.
    SharedPtr<Sprite> item(int index) const;
    int count() const { return int(m_items.size()); }
    int selection() const { return m_selection; }
    bool stretches() const { return m_stretch; }

    /// The user changed the selection (-1: none).
    Socket<void(int)>& on_select() { return m_on_select; }
    /// The selected item was double-clicked.
    Socket<void(int)>& on_activate() { return m_on_activate; }

private:
    /// Stacks the items from `from` on and sizes the content to hold them all.
    void layout_items(int from);
    /// The item's rectangle in content coordinates, truncated to integers.
    static RectI item_rect(const Sprite& item);

    Sprite* m_container = nullptr;
    std::vector<SharedPtr<Sprite>> m_items;
    bool m_stretch = true;
    int m_selection = -1;
    Socket<void(int)> m_on_select;
    Socket<void(int)> m_on_activate;
};

}

KQ_TYPE_NAME(kq::ListBox, "class kq::ListBox");
