#include "engine/platform/api_window.h"

#include <string>
#include <vector>

#include "engine/base/application.h"
#include "engine/base/code_page.h"
#include "engine/base/math_utils.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/host/window/event_pump.h"
#include "engine/host/window/platform_window.h"
#include "engine/platform/bitmap.h"
#include "engine/platform/cursor.h"
#include "engine/platform/display_mode_choice.h"
#include "engine/res/dictionary.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::int64_t pump_period_ms = 10;

/// "((x,y), (w,h))", as the log writes rectangles.
std::string rect_text(const host::ClientRect& rect)
{
    return "((" + std::to_string(rect.x) + "," + std::to_string(rect.y) + "), (" + std::to_string(rect.w) +
           "," + std::to_string(rect.h) + "))";
}

int truncate_toward_zero(float value)
{
    return static_cast<int>(value);
}

// The picture as four bytes a pixel, red, green, blue, alpha; empty for a format without
// 8-bit channels.
std::vector<std::uint8_t> rgba_pixels(const Bitmap& picture)
{
    // Where red, green, blue and alpha stand in a pixel (-1: opaque), by format.
    struct Layout { std::int32_t format; int r, g, b, a; };
    static const Layout layouts[] = {
        {Gray8, 0, 0, 0, -1}, {BGR24, 2, 1, 0, -1}, {RGB24, 0, 1, 2, -1}, {BGRA32, 2, 1, 0, 3}, {RGBA32, 0, 1, 2, 3},
    };
    std::vector<std::uint8_t> out;
    for (const Layout& layout : layouts) {
        if (layout.format != picture.format())
            continue;
        const int step = Bitmap::bytes_per_pixel(picture.format());
        const std::size_t count = std::size_t(picture.width()) * std::size_t(picture.height());
        out.reserve(count * 4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* pixel = picture.data() + i * step;
            out.push_back(pixel[layout.r]);
            out.push_back(pixel[layout.g]);
            out.push_back(pixel[layout.b]);
            out.push_back(layout.a < 0 ? 255 : pixel[layout.a]);
        }
    }
    return out;
}

std::string read_caption(const SkinPath& node)
{
    std::string text;
    read_skin_value(node + "caption", &text);
    const std::u16string wide = Dictionary::expand_macros(text, [](const std::string&, std::string&) {});
    std::string caption;
    // A character the code page lacks ends the caption there.
    narrow_string(nullptr, wide, caption);
    return caption.substr(0, caption.find('\0'));
}

}

APIWindow::APIWindow(const SkinPath& node) : Window(node)
{
    m_caption = read_caption(node);
    read_skin_value(node + "max_display_frequency", &m_max_display_frequency);
    const host::ClientRect desktop = host::desktop_rect();
    m_window_pos = {(desktop.w - m_size.x) / 2, (desktop.h - m_size.y) / 2};
}

void APIWindow::set_icon(const Bitmap& picture)
{
    const std::vector<std::uint8_t> pixels = rgba_pixels(picture);
    if (pixels.empty() || !m_hwnd || !host::set_window_icon(m_hwnd, picture.width(), picture.height(), pixels.data()))
        log() << "- icon not set (picture format " << picture.format() << ")." << t_io::endl;
}

void APIWindow::initialize()
{
    if (m_video.ready())
        log() << "- video driver: " << host::VideoSystem::driver_name().c_str() << "." << t_io::endl;
    else
        log() << "! no video: " << host::VideoSystem::last_error().c_str() << t_io::endl;
    Window::initialize();
    create_window();
    register_cursors();
    m_pump_task = Mainframe::add_task([this] { pump(); }, 0, pump_period_ms, Mainframe::periodic);
    if (Application* application = Application::instance())
        application->on_activation_request().connect([this] { host::activate_window(m_hwnd); }, this);
}

void APIWindow::create_window()
{
    const host::ClientRect rect = m_fullscreen ? host::desktop_rect()
                                               : host::ClientRect{m_window_pos.x, m_window_pos.y, m_size.x, m_size.y};
    m_hwnd = host::create_window(
        rect, [this](host::WindowMessage& message) { on_message(message); },
        m_fullscreen ? host::mode_fullscreen : host::mode_windowed, m_caption);
    if (!m_hwnd)
        throw ServiceException(name(), "failed to create api window");
    if (m_fullscreen)
        log() << "- created: fullscreen." << t_io::endl;
    else
        log() << "- created: windowed " << rect_text(rect).c_str() << "." << t_io::endl;
}

void APIWindow::register_cursors()
{
    Res& res = *Res::instance();
    res.add_loader(type_name<Cursor>(), SharedPtr<ResLoader>(new CursorLoader));
    res.add_resource(ResRequest{type_name<Cursor>(), ResKey{"empty.cur", 0}}, SharedPtr<Resource>(new Cursor));
    res.add_resource(ResRequest{type_name<Cursor>(), ResKey{"default.cur", 0}},
                     SharedPtr<Resource>(new Cursor(host::system_cursor(1))));
}

void APIWindow::shutdown()
{
    if (Application* application = Application::instance())
        application->on_activation_request().disconnect(this);
    if (!m_hwnd)
        return;
    Mainframe::remove_task(m_pump_task);
    m_pump_task = 0;
    host::WindowHandle window = m_hwnd;
    m_hwnd = nullptr;
    host::destroy_window(window);
    log() << "- destroyed." << t_io::endl;
}

void APIWindow::pump()
{
    if (!m_hwnd)
        return;
    if (const int dropped = host::pump(m_hwnd))
        log() << "! " << dropped << " window events without a window record or handler dropped." << t_io::endl;
}

void APIWindow::on_message(const host::WindowMessage& message)
{
    switch (message.type) {
    case host::event_destroyed:
        on_destroy().emit_void();
        break;
    case host::event_activated:
        m_active = true;
        on_activate().emit_bool(true);
        break;
    case host::event_deactivated:
        m_active = false;
        on_activate().emit_bool(false);
        break;
    case host::event_command:
        on_command().emit_value(static_cast<WindowCommand>(message.a));
        break;
    case host::event_key:
        on_key().emit_key_state(static_cast<Key>(message.a), static_cast<KeyState>(message.b));
        break;
    case host::event_char:
        on_char().emit_void(static_cast<char>(message.a));
        break;
    case host::event_wheel:
        on_wheel().emit_value(message.a);
        break;
    case host::event_mouse_move: {
        // The cursor as it is now, not as the event saw it.
        const host::Point pixel = host::cursor_position(m_hwnd);
        const Vector2<float> point = to_logical({pixel.x, pixel.y});
        on_mouse_move().emit_pair(Vector2<int>{truncate_toward_zero(point.x), truncate_toward_zero(point.y)});
        break;
    }
    case host::event_mouse_enter:
        on_mouse_enter().emit_void();
        break;
    case host::event_mouse_leave:
        on_mouse_leave().emit_void();
        break;
    default:
        // The size changes only through the mode; the event needs nothing.
        break;
    }
}

void APIWindow::set_cursor(const Cursor* cursor)
{
    host::set_cursor(cursor ? cursor->handle() : nullptr);
}

Vector2<int> APIWindow::mouse_position()
{
    if (!m_hwnd)
        return {};
    const host::Point pixel = host::cursor_position(m_hwnd);
    const Vector2<float> point = to_logical({pixel.x, pixel.y});
    return {round_to_int(point.x), round_to_int(point.y)};
}

void APIWindow::set_mouse_position(Vector2<int> point)
{
    if (!m_hwnd)
        return;
    const Vector2<int> pixel = to_window({static_cast<float>(point.x), static_cast<float>(point.y)});
    host::set_cursor_position(m_hwnd, {pixel.x, pixel.y});
}

void APIWindow::capture_mouse()
{
    if (m_hwnd)
        host::set_capture(m_hwnd);
}

void APIWindow::release_mouse()
{
    host::release_capture();
}

void APIWindow::set_keyboard_focus(bool)
{
}

void APIWindow::show(bool show)
{
    if (m_hwnd)
        host::show_window(m_hwnd, show);
}

bool APIWindow::is_visible()
{
    return m_hwnd && host::is_window_shown(m_hwnd);
}

void APIWindow::check_display_mode()
{
    if (has_logical_size()) {
        const host::DisplayMode desktop = host::current_display_mode();
        std::vector<host::DisplayMode> modes;
        if (m_fullscreen || !(desktop.width > m_logical_size.x && desktop.height > m_logical_size.y))
            host::display_modes(modes);
        m_fullscreen = choose_fullscreen(m_fullscreen, m_logical_size, desktop, modes, log());
        if (m_fullscreen) {
            m_color_depth = desktop.bits_per_pixel;
            m_size = {desktop.width, desktop.height};
        } else {
            m_size = m_logical_size;
        }
    }
    fit();
}

void APIWindow::apply_mode()
{
    if (!m_hwnd)
        return;
    if (m_fullscreen) {
        host::set_window_mode(m_hwnd, host::mode_fullscreen);
        host::set_client_rect(m_hwnd, host::desktop_rect());
        log() << "- new mode: fullscreen." << t_io::endl;
    } else {
        host::set_window_mode(m_hwnd, host::mode_windowed);
        const host::ClientRect rect{m_window_pos.x, m_window_pos.y, m_size.x, m_size.y};
        host::set_client_rect(m_hwnd, rect);
        log() << "- new mode: windowed " << rect_text(rect).c_str() << "." << t_io::endl;
    }
}

void APIWindow::store_window_position()
{
    if (m_hwnd && !m_fullscreen) {
        const host::ClientRect rect = host::client_rect_on_screen(m_hwnd);
        m_window_pos = {rect.x, rect.y};
    }
}

APIWindow* start_api_window_service(const SkinPath& node)
{
    const std::string service = "api_window";
    require_mainframe(service);
    require_service(service, Res::instance() != nullptr, "res");
    require_service(service, Skin::instance() != nullptr, "skin");
    auto* window = new APIWindow(node);
    start_service(window);
    return window;
}

void stop_api_window_service(APIWindow* window)
{
    stop_service(window);
}

}
