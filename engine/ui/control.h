#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <utility>

#include "engine/base/color.h"
#include "engine/base/rect.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/socket.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/cursor.h"
#include "engine/art/sprite.h"
#include "engine/platform/key.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin_io.h"
#include "engine/res/skin_path.h"
#include "engine/ui/control_host.h"
#include "engine/ui/ui_enums.h"

namespace kq {

class Artist;
class ControlIniter;

/// A control's two cursors: the window's hardware cursor and a sprite the UI draws.
struct CursorPair
{
    ResHandle<Cursor> hardware;
    SharedPtr<Sprite> software;
};

/// The base of every widget, panel, dialog and frame: a rectangle laid out in its parent by
/// snap rules read from its skin node, an optional sprite, a colour, state bits, child
/// controls in z order, text variables, two cursors and the click and hover signals.
///
/// A control is attached while it hangs, through its parents, from the UI's root; only then
/// does it have a parent and a host, receive input, draw and run timers. A parent does not own
/// its children: whoever created a control owns it (usually as a member of the parent's class)
/// and must detach it before destroying it. The child list may change while it is walked
/// (`for_each_child`): removed entries are emptied and the list is settled when the walk ends.
/// Misuse of the tree is written to the "error" log and ignored. Main thread only.
class Control : public SkinIO
{
public:
    /// The hit-test transparency: the state bits 0x010 (self) and 0x020 (children).
    enum class Transparency : std::int32_t
    {
        none = 0,
        self = 16,
        childs = 32,
        full = 48,
    };

    /// State bits.
    static constexpr std::uint32_t state_hidden = 0x001;
    static constexpr std::uint32_t state_hidden_by_parent = 0x002;
    static constexpr std::uint32_t state_disabled = 0x004;
    static constexpr std::uint32_t state_disabled_by_parent = 0x008;
    static constexpr std::uint32_t state_transparent_self = 0x010;
    static constexpr std::uint32_t state_transparent_children = 0x020;
    static constexpr std::uint32_t state_transparent_by_parent = 0x040;
    static constexpr std::uint32_t state_double_clicks = 0x100;
    /// The bits a control takes from its parent.
    static constexpr std::uint32_t inherited_mask = 0x4A;

    /// Sprite flags a control consults (the sprite's inherit word).
    static constexpr std::uint32_t sprite_takes_size = 8;
    static constexpr std::uint32_t sprite_takes_view_flags = 32;
    static constexpr std::uint32_t sprite_takes_variables = 64;

    /// An unattached control at (0, 0), 32 x 32, with no path.
    Control();
    /// A copy of the settings, look and variables; not attached, no children, no handlers.
    Control(const Control& other);
    Control& operator=(const Control&) = delete;
    /// An attached control is logged and detached first (only the base `on_detach` runs).
    ~Control() override;

    /// Finishes the set-up that `initer` describes: the skin path and, for a child, the
    /// attachment. The skin reader's errors pass to the caller.
    void set_up(const ControlIniter& initer);

    // --- virtual operations -------------------------------------------------------------

    /// Loads the control from a skin path: `set_skin_path` (path).
    void read_skin(const SkinPath& path) override;
    /// Whether the control has a parent (the root always answers true).
    virtual bool is_attached() const { return m_parent != nullptr; }
    /// (0, 0, width, height).
    virtual RectI get_client_rect() const { return {0, 0, m_size.x, m_size.y}; }
    /// Makes a point of the root's coordinates local to this control.
    virtual void screen_to_client(Vector2<int>& p) const;
    /// Makes a local point one of the root's coordinates.
    virtual void client_to_screen(Vector2<int>& p) const;
    /// Draws the control's own sprite.
    virtual void draw(Artist& artist);
    /// Called after the children have drawn; nothing here.
    virtual void draw_over(Artist&) {}
    /// The deepest control under p (in the parent's coordinates), honouring transparency.
    virtual Control* hit_test(Vector2<int> p);
    /// Mask 15 and the view flags of the control's state.
    virtual void get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const;
    /// The variable's value from this control or the nearest ancestor that has it.
    virtual bool get_variable(const std::string& name, std::string& value) const;
    /// No bit of 0x3 set.
    virtual bool is_visible(std::uint32_t state) const { return (state & 3) == 0; }
    /// No bit of 0xC set.
    virtual bool is_enabled(std::uint32_t state) const { return (state & 12) == 0; }
    /// The z order of the children: by z snap, then by z.
    virtual bool child_precedes(const Control* a, const Control* b) const;
    /// Emits `m_on_hover` (true).
    virtual void on_mouse_enter();
    /// Cancels a pending press, then emits `m_on_hover` (false).
    virtual void on_mouse_leave();
    virtual void on_mouse_move(Vector2<int>) {}
    virtual void on_wheel(int) {}
    /// Left press: focus and pressed; left release after a press: click; right press: the
    /// right-click callable. Always answers false.
    virtual bool on_key(Key key, KeyState state);
    virtual bool on_char(char) { return false; }
    virtual void on_set_focus() {}
    virtual void on_kill_focus() {}
    /// Announces visibility and enabling changes and hands the inherited bits down.
    virtual void on_state_changed(std::uint32_t old_state, std::uint32_t new_state);
    /// Shown: re-evaluates the hover when the control lies under the mouse; hidden: drops the
    /// focus and the hover.
    virtual void on_visible_changed(bool visible);
    /// Disabled while focused: drops the focus.
    virtual void on_enabled_changed(bool enabled);
    /// A dragged control dropped on this one; nothing here.
    virtual void on_drop(SharedPtr<Control>&) {}
    /// Asks the sprite to expand its texts again.
    virtual void refresh();
    /// Takes the z place, lays out (forced) and inherits the parent's bits.
    virtual void on_attach();
    /// Called after the children were attached too; nothing here.
    virtual void on_attached() {}
    /// Drops the inherited bits.
    virtual void on_detach();
    /// The computed position changed; nothing here.
    virtual void on_move() {}
    /// The computed size changed: lays out again, sizes the sprite, lays out the children.
    virtual void relayout();
    /// Reads the control's keys under `m_path`; derived readers call it first.
    virtual void read_skin();

    // --- tree ----------------------------------------------------------------------------

    /// Lists the child under the parent (moving it from another parent) and, when the parent
    /// is attached, attaches its subtree.
    static void attach_to_parent(Control* child, Control* parent);
    /// Takes the child out of the parent's list, detaching its subtree.
    static void detach_child(Control* parent, Control* child);
    /// Detaches this control from its parent, when attached.
    void detach();
    /// Calls f on each child, front (bottom) to back; the list may change meanwhile.
    void for_each_child(const std::function<void(Control*)>& f);
    /// Calls f on each child, back (topmost) to front.
    void for_each_child_reverse(const std::function<void(Control*)>& f);
    /// The children just before and after this one in the parent's list (null where none).
    std::pair<Control*, Control*> siblings() const;
    Control* previous_sibling() const { return siblings().first; }
    Control* next_sibling() const { return siblings().second; }

    // --- skin path and layout -------------------------------------------------------------

    /// Sets the path as given; an absolute one is read at once, a relative one waits for the
    /// parent's path.
    void set_skin_path(const SkinPath& path);
    /// Resolves a relative own path against the parent's path `parent` and reads the skin.
    void resolve_path(const SkinPath& parent);
    /// Recomputes position and size from the snap rules.
    void update_layout(bool force);
    void set_position(Vector2<int> position);
    void set_size(Vector2<int> size);
    /// Sets both position snaps and makes both sizes absolute.
    void set_snaps(XSnap x_snap, YSnap y_snap);
    /// Reads a cursor node: "hardware" and "software", both required.
    static void read_cursor(const SkinPath& path, CursorPair& out);

    // --- state ---------------------------------------------------------------------------

    void set_hidden(bool hidden);
    void set_disabled(bool disabled);
    /// The bits of `mask` take the values of `bits`.
    void set_state(std::uint32_t bits, std::uint32_t mask);
    bool is_disabled() const { return (m_state & state_disabled) != 0; }
    bool is_pointed() const;
    bool is_focused() const;
    bool has_capture() const;
    void take_focus();
    void drop_focus();
    void capture_mouse(int kind);
    void release_mouse();
    void grab_keys(int kind);
    void release_keys();
    void renew_key_grab();
    /// The mouse in local coordinates; (0, 0) when unattached.
    Vector2<int> mouse_position() const;
    /// Whether the key is not held now (true when unattached).
    bool is_key_up(int virtual_key) const;

    // --- timers and animation --------------------------------------------------------------

    void add_timer(ControlHost::TimerCallback callback, int interval_ms);
    void kill_timers();
    /// Fades `m_color` from `from` to `to` in 200 ms (ease-out); with `wait`, returns after
    /// 200 ms of scheduler time.
    void fade_color(const Color& from, const Color& to, bool wait);
    /// Moves the offsets from `from` to `to` in `duration_ms`; 0 or less lands at once.
    void move_to(Vector2<int> from, Vector2<int> to, int duration_ms);

    // --- look ----------------------------------------------------------------------------

    /// Stores a text variable; a changed value refreshes the subtree.
    void set_variable(const std::string& name, const std::string& value);
    /// `refresh` on this control and its subtree.
    void refresh_tree();
    /// Draws the control and its subtree, translated by its position and tinted by its colour.
    void draw_tree(Artist& artist);
    void set_cursor(const ResHandle<Cursor>& cursor);
    void set_sw_cursor(SharedPtr<Sprite> cursor);
    /// The hardware cursor of the nearest control up the chain that names one.
    ResHandle<Cursor>& find_cursor();
    /// The software cursor of the nearest control up the chain that has one.
    SharedPtr<Sprite> find_sw_cursor();
    void set_color(const Color& color) { m_color = color; }
    /// Replaces the look (null for none).
    void set_sprite(SharedPtr<Sprite> sprite);

    // --- accessors -----------------------------------------------------------------------

    Control* parent() const { return m_parent; }
    ControlHost* host() const { return m_ui; }
    const SkinPath& path() const { return m_path; }
    const SkinPath& skin_path() const { return m_skin_path; }
    Vector2<int> position() const { return m_position; }
    Vector2<int> size() const { return m_size; }
    Vector2<int> offset() const { return {m_x, m_y}; }
    int z() const { return m_z; }
    ZSnap z_snap() const { return m_z_snap; }
    XSnap x_snap() const { return m_x_snap; }
    YSnap y_snap() const { return m_y_snap; }
    SSnap sx_snap() const { return m_sx_snap; }
    SSnap sy_snap() const { return m_sy_snap; }
    std::uint32_t state() const { return m_state; }
    bool is_pressed() const { return m_pressed; }
    const Color& color() const { return m_color; }
    Sprite* sprite() const { return m_sprite.get(); }
    const ResHandle<Cursor>& cursor() const { return m_cursor; }
    const SharedPtr<Sprite>& sw_cursor() const { return m_sw_cursor; }
    /// The children in z order (no empty entries outside walks).
    const std::list<Control*>& children() const { return m_children; }

    /// A left press released on the control.
    Socket<void()>& on_click() { return m_on_click; }
    /// The mouse entered (true) or left (false).
    Socket<void(bool)>& on_hover() { return m_on_hover; }
    /// Called on a right press on the control, when set.
    std::function<void()>& on_right_click() { return m_on_right_click; }

protected:
    /// Root controls have a host from construction on.
    void set_host(ControlHost* host) { m_ui = host; }

private:
    void attach_subtree(Control* parent);
    void detach_subtree();
    void settle();
    void mark_unsorted();
    std::uint32_t bits_for_children(std::uint32_t state) const;
    void read_sprite_keys();
    static SharedPtr<Sprite> read_sprite(const SkinPath& path);

    Control* m_parent = nullptr;
    ControlHost* m_ui = nullptr;
    std::list<Control*> m_children;
    bool m_children_sorted = true;
    int m_iterating = 0;
    SkinPath m_path;
    SkinPath m_skin_path;
    int m_x = 0;
    int m_y = 0;
    int m_z = 0;
    int m_sx = 32;
    int m_sy = 32;
    XSnap m_x_snap = XSnap::left;
    YSnap m_y_snap = YSnap::top;
    SSnap m_sx_snap = SSnap::absolute;
    SSnap m_sy_snap = SSnap::absolute;
    ZSnap m_z_snap = ZSnap::normal;
    Vector2<int> m_position;
    Vector2<int> m_size{32, 32};
    std::uint32_t m_state = 0;
    ResHandle<Cursor> m_cursor;
    SharedPtr<Sprite> m_sw_cursor;
    bool m_pressed = false;
    Color m_color{1, 1, 1, 1};
    SharedPtr<Sprite> m_sprite;
    std::map<std::string, std::string> m_variables;
    Socket<void()> m_on_click;
    Socket<void(bool)> m_on_hover;
    std::function<void()> m_on_right_click;
};

}

KQ_TYPE_NAME(kq::Control, "class kq::Control");
KQ_TYPE_NAME(kq::Control::Transparency, "enum kq::Control::Transparency");
