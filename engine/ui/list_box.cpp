#include "engine/ui/list_box.h"

#include <algorithm>
#include <cmath>

#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr int vk_up = 38;
constexpr int vk_down = 40;
/// The sprite state bit of the selected item: the focused look.
constexpr std::uint32_t selected_bit = VF_FOCUSED;

}

ListBox::ListBox(const ListBox& other) : ClipBox(other), m_stretch(other.m_stretch)
{
}

bool ListBox::on_key(Key key, KeyState state)
{
    if (key == key_mouse_left && state == state_down) {
        select_and_notify(item_at(mouse_position()));
    } else if (key == key_mouse_left && state == state_double_click) {
        if (m_selection >= 0)
            m_on_activate.emit(m_selection);
    } else if ((int(key) == vk_up || int(key) == vk_down) && state == state_down && count() > 0) {
        const int last = count() - 1;
        int next = 0;
        if (m_selection >= 0 && int(key) == vk_up)
            next = m_selection == 0 ? last : m_selection - 1;
        else if (m_selection >= 0)
            next = m_selection == last ? 0 : m_selection + 1;
        select_and_notify(next);
    }
    return ClipBox::on_key(key, state);
}

void ListBox::on_set_focus()
{
    grab_keys(0);
}

void ListBox::on_kill_focus()
{
    release_keys();
}

void ListBox::relayout()
{
    ClipBox::relayout();
    layout_items(0);
}

void ListBox::read_skin()
{
    ClipBox::read_skin();
    m_container = content();
    read_skin_value(path() + "stretch", &m_stretch);
    for (SkinChildIterator child(path(), "item"); !child.at_end(); child.next())
        if (Sprite* sprite = clone_resource<Sprite, Sprite>(child.path()))
            add(SharedPtr<Sprite>(sprite));
}

int ListBox::insert(const SharedPtr<Sprite>& sprite, int index)
{
    index = std::clamp(index, 0, count());
    m_items.insert(m_items.begin() + index, sprite);
    if (m_container)
        m_container->add_child(sprite);
    if (m_selection >= index)
        ++m_selection;
    layout_items(index);
    return index;
}

void ListBox::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    Sprite* const sprite = m_items[std::size_t(index)].get();
    if (index == m_selection) {
        sprite->set_flags(selected_bit, 0);
        m_selection = -1;
    } else if (index < m_selection) {
        --m_selection;
    }
    if (m_container)
        m_container->remove_child(sprite);
    m_items.erase(m_items.begin() + index);
    layout_items(index);
}

void ListBox::select(int index)
{
    if (index == m_selection || index < -1 || index >= count())
        return;
    if (m_selection >= 0)
        m_items[std::size_t(m_selection)]->set_flags(selected_bit, 0);
    m_selection = index;
    if (m_selection >= 0)
        m_items[std::size_t(m_selection)]->set_flags(selected_bit, selected_bit);
}

void ListBox::select_and_notify(int index)
{
    if (index == m_selection)
        return;
    select(index);
    if (m_selection != index)
        return;
    scroll_to_item(index);
    m_on_select.emit(index);
}

void ListBox::scroll_to_item(int index)
{
    if (index < 0 || index >= count())
        return;
    const RectI r = item_rect(*m_items[std::size_t(index)]);
    const int y = std::max(std::min(r.y, scroll().y), r.y + r.h - view().h);
    set_scroll({scroll().x, y});
}

int ListBox::item_at(Vector2<int> point) const
{
    const Vector2<int> p = to_content(point);
    if (p.x < 0 || p.y < 0)
        return -1;
    for (int i = 0; i < count(); ++i) {
        const RectI r = item_rect(*m_items[std::size_t(i)]);
        if (p.x >= r.x && p.y >= r.y && p.x < r.x + r.w && p.y < r.y + r.h)
            return i;
    }
    return -1;
}

SharedPtr<Sprite> ListBox::item(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_items[std::size_t(index)];
}

RectI ListBox::item_rect(const Sprite& item)
{
    const Vector2<float> corner = item.position() - item.pivot();
    return {int(corner.x), int(corner.y), int(item.size().x), int(item.size().y)};
}

void ListBox::layout_items(int from)
{
    int y = 0;
    int widest = 0;
    if (from > 0) {
        const RectI above = item_rect(*m_items[std::size_t(from - 1)]);
        y = above.y + above.h;
        for (int i = 0; i < from; ++i)
            widest = std::max(widest, int(std::lround(m_items[std::size_t(i)]->size().x)));
    }
    for (int i = from; i < count(); ++i) {
        Sprite& item = *m_items[std::size_t(i)];
        const int width = m_stretch ? view().w : int(item.size().x);
        const int height = int(item.size().y);
        item.set_rect(RectI{0, y, width, height});
        y += height;
        widest = std::max(widest, int(std::lround(item.size().x)));
    }
    set_content_size({widest, y});
}

}
