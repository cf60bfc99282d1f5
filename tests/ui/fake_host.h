#pragma once

// A stand-in for the UI service under a control tree: it keeps hover, focus, the capture top
// and the mouse as the test sets them, records the notifications and stack calls, and runs
// the timers when the test ticks it.
#include <string>
#include <vector>

#include "engine/ui/control.h"
#include "engine/ui/control_host.h"
#include "engine/ui/root_control.h"

namespace kq::test {

class FakeHost : public ControlHost
{
public:
    struct Timer
    {
        TimerCallback callback;
        int interval = 0;
        Control* owner = nullptr;
        int elapsed = 0;
        bool removed = false;
    };

    void control_attached(Control* control) override { attached.push_back(control); }
    void control_detached(Control* control) override
    {
        detached.push_back(control);
        if (m_hovered == control)
            m_hovered = nullptr;
        if (m_focused == control)
            set_focus(nullptr);
        kill_timers(control);
    }

    Control* hovered() const override { return m_hovered; }
    Control* focused() const override { return m_focused; }
    Control* capture() const override { return m_capture; }
    Vector2<int> mouse_position() const override { return m_mouse; }

    void set_focus(Control* control) override
    {
        if (control == m_focused)
            return;
        if (m_focused)
            m_focused->on_kill_focus();
        m_focused = control;
        if (m_focused)
            m_focused->on_set_focus();
    }
    void update_hover() override { ++hover_updates; }
    void update_cursor() override { ++cursor_updates; }
    void set_capture(Control*, int kind) override { calls.push_back("capture " + std::to_string(kind)); }
    void release_capture(Control*) override { calls.push_back("release capture"); }
    void push_focus(Control*, int kind) override { calls.push_back("push focus " + std::to_string(kind)); }
    void release_focus(Control*) override { calls.push_back("release focus"); }
    void renew_key_grab(Control*) override { calls.push_back("renew grab"); }

    void add_timer(TimerCallback callback, int interval_ms, Control* owner) override
    {
        timers.push_back({std::move(callback), interval_ms, owner});
    }
    void kill_timers(Control* owner) override
    {
        for (Timer& timer : timers)
            if (timer.owner == owner)
                timer.removed = true;
    }

    /// Runs every live interval-0 timer once with its total grown by dt.
    void tick(int dt)
    {
        for (std::size_t i = 0; i < timers.size(); ++i) {
            Timer& timer = timers[i];
            if (timer.removed)
                continue;
            timer.elapsed += dt;
            if (!timer.callback(timer.elapsed))
                timers[i].removed = true;
        }
    }
    /// Timers not ended.
    int live_timers() const
    {
        int live = 0;
        for (const Timer& timer : timers)
            live += timer.removed ? 0 : 1;
        return live;
    }

    Control* m_hovered = nullptr;
    Control* m_focused = nullptr;
    Control* m_capture = nullptr;
    Vector2<int> m_mouse;
    std::vector<Control*> attached;
    std::vector<Control*> detached;
    std::vector<std::string> calls;
    std::vector<Timer> timers;
    int hover_updates = 0;
    int cursor_updates = 0;
};

/// A root of `size` hosted by a fake host.
struct HostedRoot
{
    explicit HostedRoot(Vector2<int> size = {640, 480}) : root(&host) { root.set_size(size); }

    FakeHost host;
    RootControl root;
};

}
