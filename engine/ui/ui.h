#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/base/service.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/single_instance.h"
#include "engine/base/socket.h"
#include "engine/platform/key.h"
#include "engine/platform/window.h"
#include "engine/res/skin_path.h"
#include "engine/ui/control_host.h"
#include "engine/ui/frame_pacer.h"
#include "engine/ui/root_control.h"

namespace kq {

class Artist;

/// The service "ui": hosts the control tree under its root, turns the window's input into
/// control events (hover, the mouse-capture stack, the keyboard stack, one focused control,
/// double clicks), runs the controls' timers, shows the hovered control's cursor and draws the
/// tree once a frame. Window events reach it deferred, one scheduler step after they happen.
/// The UI owns its root only; every other control belongs to whoever made it. Main thread only.
class UI : public Service, public ControlHost, public SingleInstance<UI>
{
public:
    /// An entry of the capture or keyboard stack.
    struct StackEntry
    {
        Control* control;
        int kind;
    };

    /// Reads "hw_cursor" and "dblclick_time" under the node (both required) and builds the root
    /// from the node's "root_control".
    UI(const SkinPath& node, SharedPtr<Window> window, Artist* artist);
    ~UI() override;

    /// Places the root over the window, puts it on the keyboard stack, connects the window's
    /// events and starts the timer and frame tasks (10 ms each).
    void initialize() override;
    /// Stops the tasks, drops focus and hover, detaches the root's children, releases the root
    /// and disconnects the window.
    void shutdown() override;

    void control_attached(Control* control) override;
    void control_detached(Control* control) override;
    Control* hovered() const override { return m_hovered; }
    Control* focused() const override { return m_focused; }
    Control* capture() const override { return m_capture.empty() ? nullptr : m_capture.back().control; }
    Vector2<int> mouse_position() const override { return m_mouse_pos; }
    void set_focus(Control* control) override;
    void update_hover() override;
    void update_cursor() override;
    void set_capture(Control* control, int kind) override;
    void release_capture(Control* control) override;
    void push_focus(Control* control, int kind) override;
    void release_focus(Control* control) override;
    void renew_key_grab(Control* control) override;
    /// Refused ("Invalid timer. Ignored.") without an owner, a callback or with a negative
    /// interval. A new timer counts from 0.
    void add_timer(TimerCallback callback, int interval_ms, Control* owner) override;
    void kill_timers(Control* owner) override;

    /// Re-evaluates the hover when the mouse lies over the control.
    void refresh_hover_over(Control* control);
    /// Chooses the window's cursor (true) or the UI's cursor sprite (false).
    void set_hw_cursor(bool hw_cursor);
    /// Whether the window's cursor is used (else the UI's cursor sprite).
    bool hw_cursor() const { return m_hw_cursor; }
    /// Shows or hides every cursor.
    void show_cursor(bool visible);

    /// The window's events, as the deferred connections deliver them.
    void on_mouse_move(Vector2<int> position);
    void on_key(Key key, KeyState state);
    void on_char(char character);
    void on_wheel(int delta);
    void on_window_enter();
    void on_window_leave();
    void on_format_changed();

    /// Puts a control in the dragged-control slot: until it is dropped, every mouse move places
    /// it at the mouse plus `offset`.
    void start_drag(SharedPtr<Control> control, Vector2<int> offset);
    /// Drops the dragged control, if any, on the hovered control (`on_drop` with the slot);
    /// what the slot still holds then is detached, and the slot is emptied. A left-button
    /// release and the shutdown drop it.
    void end_drag();
    const SharedPtr<Control>& dragged() const { return m_drag; }

    /// One timer step: every timer spends the time since the last step.
    void update_timers();
    /// Draws one frame: margins, the tree under a scissor of the logical area, the cursor.
    void draw_frame();
    /// Draws a frame from the scheduler and lists the next one for when the pacer says.
    void paced_frame();

    RootControl* root() const { return m_root.get(); }
    /// The window whose input the UI takes.
    const SharedPtr<Window>& window() const { return m_window; }
    /// The artist that draws the frames (not owned).
    Artist* artist() const { return m_artist; }
    int frame_time() const { return m_frame_time; }
    const std::vector<StackEntry>& capture_stack() const { return m_capture; }
    const std::vector<StackEntry>& key_stack() const { return m_key_stack; }

    /// The new hovered control (or null).
    Socket<void(Control*)>& on_hover_changed() { return m_on_hover_changed; }
    /// Every key and button, before routing.
    Socket<void(Key, KeyState)>& on_key() { return m_on_key; }

private:
    struct Timer
    {
        int interval;
        int elapsed;
        TimerCallback callback;
        bool removed;
    };

    void set_hovered(Control* control);
    void forget_press();
    bool has_kind(const std::vector<StackEntry>& stack, int kind) const;
    void route_mouse_key(Key key, KeyState state);
    bool route_to_key_stack(const std::function<bool(Control*)>& offer);
    void set_cursor_sprite(const SharedPtr<Sprite>& sprite);
    Cursor* hardware_cursor_of(Control* source);
    void place_root();
    void draw_margins();
    void connect_window();
    void disconnect_window();

    SharedPtr<Window> m_window;
    SharedPtr<RootControl> m_root;
    Artist* m_artist;
    bool m_cursor_visible = true;
    bool m_hw_cursor = true;
    SharedPtr<Sprite> m_cursor_sprite;
    Sprite m_cursor_layer;
    ResHandle<Cursor> m_default_cursor{ResKey{"default.cur", 0}};
    int m_dblclick_time = 0;
    Control* m_hovered = nullptr;
    Vector2<int> m_mouse_pos;
    Control* m_focused = nullptr;
    std::int64_t m_last_press_time = 0;
    Key m_last_press_key = key_none;
    std::vector<StackEntry> m_capture;
    std::vector<StackEntry> m_key_stack;
    std::int64_t m_timer_clock = 0;
    std::int64_t m_frame_clock = 0;
    int m_frame_time = 0;
    bool m_first_frame = true;
    std::multimap<Control*, Timer> m_timers;
    std::uintptr_t m_timer_task = 0;
    std::uintptr_t m_draw_task = 0;
    FramePacer m_pacer;
    SharedPtr<Control> m_drag;
    Vector2<int> m_drag_offset;
    Socket<void(Control*)> m_on_hover_changed;
    Socket<void(Key, KeyState)> m_on_key;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

/// Checks the Mainframe and the "res" and "skin" services, builds the UI from the node and
/// registers it (which initialises it).
UI* start_ui_service(const SkinPath& node, SharedPtr<Window> window, Artist* artist);
/// Unregisters the running UI.
void stop_ui_service();

}
