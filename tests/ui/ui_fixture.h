#pragma once

// A UI service over a fake window and the recording artist, on a clock the test drives, with
// the toolkit's own control documents and whatever skin text the test adds.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/base/mainframe.h"
#include "engine/ui/ui.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

/// The toolkit's control document, as the game ships it.
inline std::string controls_document()
{
    std::ifstream file(std::string(KQ_SOURCE_DIR) + "/data/skin/ui/controls.sdt");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str() + "\n";
}

/// A window with no host behind it that records what the UI asks of it.
class FakeWindow : public Window
{
public:
    using Window::Window;

    void set_cursor(const Cursor*) override { ++cursor_sets; }
    Vector2<int> mouse_position() override { return {}; }
    void set_mouse_position(Vector2<int>) override {}
    void capture_mouse() override { calls.push_back("capture"); }
    void release_mouse() override { calls.push_back("release"); }
    void set_keyboard_focus(bool focus) override { calls.push_back(focus ? "grab" : "ungrab"); }
    void show(bool) override {}
    bool is_visible() override { return true; }
    bool is_active() override { return true; }

    std::vector<std::string> calls;  ///< capture, release, grab, ungrab
    int cursor_sets = 0;
};

/// A control that journals its input under its name.
class Probe : public Control
{
public:
    explicit Probe(std::vector<std::string>& journal, std::string name, bool handles_keys = false)
        : m_journal(journal), m_name(std::move(name)), m_handles_keys(handles_keys)
    {
    }
    ~Probe() override { detach(); }

    void on_mouse_enter() override
    {
        m_journal.push_back("enter " + m_name);
        Control::on_mouse_enter();
    }
    void on_mouse_leave() override
    {
        m_journal.push_back("leave " + m_name);
        Control::on_mouse_leave();
    }
    bool on_key(Key key, KeyState state) override
    {
        m_journal.push_back("key " + m_name + " " + std::to_string(key) + " " + std::to_string(state));
        Control::on_key(key, state);
        return m_handles_keys;
    }

    std::vector<std::string>& m_journal;
    std::string m_name;
    bool m_handles_keys;
};

/// A UI over a fake 1024 x 768 window with a fixed logical size, on a hand-driven clock.
class UiFixture : public testing::Test
{
protected:
    explicit UiFixture(const std::string& skin = "")
        : m_skin(controls_document() + R"(
            win { fullscreen false color_depth 32 size [(1024, 768)] fixed true }
            ui {
                hw_cursor true dblclick_time 300 root_control : control_defaults {}
                help_dialog : control_defaults {
                    sx 200 sy 50 exclusive true
                    reference {
                        state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(10, 10)]
                        rotation 0 scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle
                        clickability childs blend_type 0 tex_adress 0 inherit 0
                        font "" text "Help: " valign top halign left brilliance 0
                    }
                }
            }
          )" + skin)
    {
        Mainframe::create();
        m_window = SharedPtr<FakeWindow>(new FakeWindow(SkinPath("win")));
        m_ui = SharedPtr<UI>(new UI(SkinPath("ui"), SharedPtr<Window>(m_window), &m_artist));
        Mainframe::register_service(SharedPtr<Service>(m_ui));
    }
    ~UiFixture() override
    {
        Mainframe::unregister_service(SharedPtr<Service>(m_ui));
        Mainframe::destroy();
    }

    UI& ui() { return *m_ui; }
    RootControl& root() { return *m_ui->root(); }
    void press(Key key = key_mouse_left) { ui().on_key(key, state_down); }
    void release(Key key = key_mouse_left) { ui().on_key(key, state_up); }
    /// A left click at the point.
    void click_at(Vector2<int> point)
    {
        ui().on_mouse_move(point);
        press();
        release();
    }
    /// Runs `action` on the scheduler `after_ms` from now, once.
    static void later(std::int64_t after_ms, std::function<void()> action)
    {
        Mainframe::add_task(std::move(action), 0, after_ms, Mainframe::run_once);
    }

    ManualClock m_clock;
    TestSkinEnvironment m_skin;
    RecordingArtist m_artist;
    SharedPtr<FakeWindow> m_window;
    SharedPtr<UI> m_ui;
};

/// Places a control at a position with a size.
inline void place(Control& control, Vector2<int> position, Vector2<int> size)
{
    control.set_position(position);
    control.set_size(size);
}

}
