#pragma once

#include <functional>

#include "engine/base/vector2.h"

namespace kq {

class Control;

/// What a control asks of the UI service that hosts its tree: hover, focus, the capture and
/// keyboard stacks, the cursor, the mouse position and timers. Attaching hands every control
/// of the tree the host of the root; only the root keeps it while unattached.
class ControlHost
{
public:
    /// A timer's callback: given the milliseconds since the timer started, answers whether
    /// the timer goes on.
    using TimerCallback = std::function<bool(int elapsed_ms)>;

    virtual ~ControlHost() = default;

    /// A control has just entered the attached tree (after its own `on_attach`).
    virtual void control_attached(Control* control) = 0;
    /// A control is leaving the attached tree: it drops its stack entries, hover, focus and
    /// timers.
    virtual void control_detached(Control* control) = 0;

    /// The control under the mouse, or null.
    virtual Control* hovered() const = 0;
    /// The control with the keyboard focus, or null.
    virtual Control* focused() const = 0;
    /// The control on top of the mouse-capture stack, or null.
    virtual Control* capture() const = 0;
    /// The mouse in root coordinates.
    virtual Vector2<int> mouse_position() const = 0;

    /// Moves the focus: the old focused control loses it, the new one (may be null) gets it.
    virtual void set_focus(Control* control) = 0;
    /// Recomputes the hovered control from the mouse position.
    virtual void update_hover() = 0;
    /// Shows the cursor of the hovered control again.
    virtual void update_cursor() = 0;

    /// Pushes the control on the mouse-capture stack (kind 0 exclusive area, 1 capture).
    virtual void set_capture(Control* control, int kind) = 0;
    /// Removes the control's topmost capture entry.
    virtual void release_capture(Control* control) = 0;
    /// Pushes the control on the keyboard stack (kind 0 input owner, 1 keyboard grab).
    virtual void push_focus(Control* control, int kind) = 0;
    /// Removes the control's topmost keyboard-stack entry.
    virtual void release_focus(Control* control) = 0;
    /// Asks the window for the keyboard grab again when the control holds a grab entry.
    virtual void renew_key_grab(Control* control) = 0;

    /// Runs `callback` every `interval_ms` (0: every timer update) until it answers false or
    /// its owner's timers are killed.
    virtual void add_timer(TimerCallback callback, int interval_ms, Control* owner) = 0;
    /// Ends every timer of the owner; none of them is called again.
    virtual void kill_timers(Control* owner) = 0;
};

}
