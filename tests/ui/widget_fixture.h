#pragma once

// A UI service over a window with no host behind it, on a hand-driven clock, for the tests of
// the widgets: input goes in through the UI as the window would deliver it, and deferred
// handlers run when the test steps the scheduler.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/base/mainframe.h"
#include "engine/platform/window.h"
#include "engine/ui/control.h"
#include "engine/ui/ui.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

/// A window that only answers.
class SilentWindow : public Window
{
public:
    using Window::Window;

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

/// The game's control defaults, a 1024 x 768 window and a UI node, followed by the test's own
/// nodes; the view flags and `IF_CONTROL` are defined.
class WidgetSkin : public TestSkinEnvironment
{
public:
    explicit WidgetSkin(const std::string& nodes) : TestSkinEnvironment(document() + nodes)
    {
        define(StrCache("IF_CONTROL"), "104");
        define(StrCache("VF_FOCUSED"), "8");
    }

private:
    static std::string document()
    {
        std::ifstream file(std::string(KQ_SOURCE_DIR) + "/data/skin/ui/controls.sdt");
        std::ostringstream text;
        text << file.rdbuf();
        return text.str() + R"(
            test_window { fullscreen false color_depth 32 size [(1024, 768)] fixed true }
            test_ui { hw_cursor true dblclick_time 300 root_control : control_defaults {} }
        )";
    }
};

/// A running UI whose skin holds the test's nodes.
class WidgetTest : public testing::Test
{
protected:
    explicit WidgetTest(const std::string& nodes = "") : m_skin(nodes)
    {
        Mainframe::create();
        m_window = SharedPtr<SilentWindow>(new SilentWindow(SkinPath("test_window")));
        m_ui = SharedPtr<UI>(new UI(SkinPath("test_ui"), SharedPtr<Window>(m_window), &m_artist));
        Mainframe::register_service(SharedPtr<Service>(m_ui));
    }
    ~WidgetTest() override
    {
        Mainframe::unregister_service(SharedPtr<Service>(m_ui));
        Mainframe::destroy();
    }

    UI& ui() { return *m_ui; }
    Control& root() { return *m_ui->root(); }
    /// Moves the mouse to a point of the root.
    void move_to(Vector2<int> point) { ui().on_mouse_move(point); }
    void press(Key key = key_mouse_left) { ui().on_key(key, state_down); }
    void release(Key key = key_mouse_left) { ui().on_key(key, state_up); }
    /// A left click at a point of the root.
    void click_at(Vector2<int> point)
    {
        move_to(point);
        press();
        release();
        m_clock.time += 1000;  // no double click with the next press
    }
    /// Runs `count` handlers deferred so far (the scheduler takes period-0 tasks first).
    void run_deferred_handlers(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            Mainframe::step();
    }

    ManualClock m_clock;
    WidgetSkin m_skin;
    RecordingArtist m_artist;
    SharedPtr<SilentWindow> m_window;
    SharedPtr<UI> m_ui;
};

}
