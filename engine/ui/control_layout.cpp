// Control: finding and reading the skin node, and laying out by snap rules.
#include "engine/ui/control.h"

#include "engine/art/skin_enum.h"
#include "engine/res/skin.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"

namespace kq {

namespace {

/// A sibling's place on one axis.
struct Brother
{
    bool exists = false;
    int position = 0;
    int extent = 0;
};

/// One axis of the snap rules; the values of `XSnap` and `YSnap` match rule by rule. Every
/// halving truncates toward zero, as integer division does.
int snap_axis(std::int32_t rule, int offset, int extent, int parent_extent, const Brother& brother)
{
    switch (rule) {
    case 1:  // center
        return (parent_extent - extent) / 2 + offset;
    case 2:  // right, bottom
        return parent_extent - extent - offset;
    case 3:  // prev_brother
        if (offset > 0)
            return brother.exists ? brother.position + brother.extent + offset - 1 : offset;
        if (offset < 0)
            return brother.exists ? brother.position - extent + offset : parent_extent - extent + offset;
        return brother.exists ? (2 * brother.position + brother.extent - extent - 1) / 2 + 1
                              : (parent_extent - extent) / 2;
    default:  // left, top
        return offset;
    }
}

}

void CIIndependent::apply(Control& control) const
{
    if (!m_path.empty())
        control.set_skin_path(m_path);
}

void CIDependent::apply(Control& control) const
{
    if (!m_name.empty()) {
        SkinPath relative;
        relative.insert(0, StrCache());
        relative.insert(1, m_name);
        control.set_skin_path(relative);
    }
    if (m_parent && !m_parent->path().empty())
        control.resolve_path(m_parent->path());
}

void CIChild::apply(Control& control) const
{
    CIDependent::apply(control);
    if (m_parent)
        Control::attach_to_parent(&control, m_parent);
}

void Control::set_skin_path(const SkinPath& path)
{
    m_skin_path = path;
    if (path.empty() || path.is_relative()) {
        m_path = SkinPath();
        return;
    }
    m_path = path;
    read_skin();
    for_each_child([this](Control* child) { child->resolve_path(m_path); });
}

void Control::resolve_path(const SkinPath& parent)
{
    if (!m_skin_path.is_relative())
        return;
    m_path = m_skin_path.resolve(parent);
    read_skin();
    for_each_child([this](Control* child) { child->resolve_path(m_path); });
}

void Control::update_layout(bool force)
{
    ControlHost* const host = is_attached() ? m_ui : nullptr;
    const auto mouse_inside = [this, host] {
        Vector2<int> p = host->mouse_position();
        screen_to_client(p);
        const RectI r = get_client_rect();
        return p.x >= r.x && p.y >= r.y && p.x < r.x + r.w && p.y < r.y + r.h;
    };
    const bool was_inside = host && mouse_inside();

    int w = m_sx;
    int h = m_sy;
    int x = m_x;
    int y = m_y;
    if (m_parent) {
        const Vector2<int> parent_size = m_parent->m_size;
        if (m_sx_snap == SSnap::relative)
            w = parent_size.x + m_sx;
        if (m_sy_snap == SSnap::relative)
            h = parent_size.y + m_sy;
        Brother bx;
        Brother by;
        if (const Control* b = previous_sibling()) {
            bx = {true, b->m_position.x, b->m_size.x};
            by = {true, b->m_position.y, b->m_size.y};
        }
        x = snap_axis(static_cast<std::int32_t>(m_x_snap), m_x, w, parent_size.x, bx);
        y = snap_axis(static_cast<std::int32_t>(m_y_snap), m_y, h, parent_size.y, by);
    }

    const bool moved = m_position != Vector2<int>{x, y};
    const bool resized = m_size != Vector2<int>{w, h};
    m_position = {x, y};
    m_size = {w, h};
    if (!moved && !resized && !force)
        return;
    if (moved || force)
        on_move();
    if (resized || force)
        relayout();
    if (host && (was_inside || mouse_inside()))
        host->update_hover();
    if (m_parent)
        if (Control* next = next_sibling())
            next->update_layout(false);
}

void Control::relayout()
{
    update_layout(false);
    if (m_sprite && (m_sprite->inherit() & sprite_takes_size)) {
        m_sprite->set_rect(RectI{0, 0, m_size.x, m_size.y});
        m_sprite->invalidate();
    }
    for_each_child([](Control* child) { child->update_layout(false); });
}

void Control::set_position(Vector2<int> position)
{
    m_x = position.x;
    m_y = position.y;
    update_layout(false);
}

void Control::set_size(Vector2<int> size)
{
    m_sx = size.x;
    m_sy = size.y;
    update_layout(false);
}

void Control::set_snaps(XSnap x_snap, YSnap y_snap)
{
    m_x_snap = x_snap;
    m_y_snap = y_snap;
    m_sx_snap = SSnap::absolute;
    m_sy_snap = SSnap::absolute;
    update_layout(false);
}

SharedPtr<Sprite> Control::read_sprite(const SkinPath& path)
{
    return SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(path));
}

void Control::read_cursor(const SkinPath& path, CursorPair& out)
{
    out.hardware.read_name_from_skin(path + "hardware");
    out.software = read_sprite(path + "software");
}

void Control::read_skin()
{
    const auto key = [this](const char* name) { return m_path + name; };
    read_skin_value(key("x"), &m_x);
    read_skin_value(key("y"), &m_y);
    read_skin_value(key("z"), &m_z);
    read_skin_value(key("sx"), &m_sx);
    read_skin_value(key("sy"), &m_sy);
    read_skin_enum(key("x_snap"), &m_x_snap);
    read_skin_enum(key("y_snap"), &m_y_snap);
    read_skin_enum(key("sx_snap"), &m_sx_snap);
    read_skin_enum(key("sy_snap"), &m_sy_snap);
    read_skin_enum(key("z_snap"), &m_z_snap);
    m_position = {m_x, m_y};
    m_size = {m_sx, m_sy};

    // The state bits are written directly: reading the skin announces no state change.
    const auto read_bit = [this, &key](const char* name, std::uint32_t bit) {
        bool set = false;
        read_skin_value(key(name), &set);
        m_state = set ? (m_state | bit) : (m_state & ~bit);
    };
    read_bit("hidden", state_hidden);
    read_bit("disabled", state_disabled);
    Transparency transparency = Transparency::none;
    read_skin_enum(key("transparency"), &transparency);
    const std::uint32_t transparent = state_transparent_self | state_transparent_children;
    m_state = (m_state & ~transparent) | (static_cast<std::uint32_t>(transparency) & transparent);
    read_bit("dblclicks", state_double_clicks);

    m_cursor.read_name_from_skin(key("hw_cursor"));
    m_sw_cursor = read_sprite(key("sw_cursor"));
    set_sprite(read_sprite(key("sprite")));

    // A "cursor" node is the control's own cursor pair only when it holds "hardware": a
    // screen may keep a table of cursors by state under that name instead.
    const SkinPath cursor_path = key("cursor");
    if (require_skin_environment().try_find_node(cursor_path + "hardware", false)) {
        CursorPair cursor;
        read_cursor(cursor_path, cursor);
        set_cursor(cursor.hardware);
        set_sw_cursor(cursor.software);
    }
}

}
