#pragma once

#include <string>

#include "engine/base/mainframe.h"
#include "engine/host/window/input_state.h"
#include "engine/host/window/video.h"
#include "engine/host/window/window_message.h"
#include "engine/platform/window.h"

namespace kq {

/// The window service on the host: opens the window windowed or full screen, switches
/// between the two, pumps its events every 10 ms and re-emits them through the sockets, and
/// sets the cursor and the mouse capture. Besides the keys `Window` reads, reads "caption"
/// (expanded through the dictionary, held in the game's code page) and
/// "max_display_frequency". Log lines go to "window".
class Bitmap;

class APIWindow : public Window
{
public:
    /// Reads the node and places the windowed window in the middle of the desktop; opens
    /// nothing yet.
    explicit APIWindow(const SkinPath& node);

    /// Settles the mode, opens the window (throws "failed to create api window" when the
    /// system refuses), registers the cursor loader and the built-in cursors "empty.cur" and
    /// "default.cur" with `Res`, and starts the pump task.
    void initialize() override;
    /// Stops the pump and destroys the window (emitting `on_destroy`).
    void shutdown() override;

    void set_cursor(const Cursor* cursor) override;
    Vector2<int> mouse_position() override;
    void set_mouse_position(Vector2<int> point) override;
    void capture_mouse() override;
    void release_mouse() override;
    void set_keyboard_focus(bool focus) override;
    void show(bool show) override;
    bool is_visible() override;
    bool is_active() override { return m_active; }
    void check_display_mode() override;
    void apply_mode() override;
    void store_window_position() override;

    /// Shows the picture as the window's icon on the desktop; a picture in a format without
    /// 8-bit channels, or one the system refuses, is logged and left.
    void set_icon(const Bitmap& picture);

    /// Re-emits one window event through the sockets.
    virtual void on_message(const host::WindowMessage& message);

    /// The host window; null before `initialize` and after `shutdown`.
    host::WindowHandle handle() const { return m_hwnd; }
    /// The caption in the game's code page.
    const std::string& caption() const { return m_caption; }
    /// Where the windowed client area stands on the screen.
    Vector2<int> window_position() const { return m_window_pos; }

private:
    void create_window();
    void register_cursors();
    void pump();

    host::VideoSystem m_video;
    host::WindowHandle m_hwnd = nullptr;
    std::string m_caption;
    Vector2<int> m_window_pos;
    bool m_active = false;
    Mainframe::TaskId m_pump_task = 0;
};

/// Starts the window service from the skin node: needs the Mainframe, "res" and "skin"
/// (else "Unable to start service [api_window]. ..."). Returns the running service.
APIWindow* start_api_window_service(const SkinPath& node);

/// Stops the window service (null: nothing).
void stop_api_window_service(APIWindow* window);

}
