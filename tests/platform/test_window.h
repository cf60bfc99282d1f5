#pragma once

// A window of a size and mode the test sets, with no host window behind it.

#include "engine/platform/window.h"
#include "engine/res/skin_path.h"

namespace kq::test {

class TestWindow : public Window
{
public:
    using Window::Window;

    /// Takes the client size and tells the listeners of `on_changed`.
    void resize(Vector2<int> size)
    {
        m_size = size;
        on_changed().emit();
    }
    /// Sets the full-screen flag and the colour depth.
    void set_mode(bool fullscreen, int depth)
    {
        m_fullscreen = fullscreen;
        m_color_depth = depth;
    }

    void set_cursor(const Cursor*) override {}
    Vector2<int> mouse_position() override { return {}; }
    void set_mouse_position(Vector2<int>) override {}
    void capture_mouse() override {}
    void release_mouse() override {}
    void set_keyboard_focus(bool) override {}
    void show(bool) override {}
    bool is_visible() override { return true; }
    bool is_active() override { return true; }
};

}
