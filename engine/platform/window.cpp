#include "engine/platform/window.h"

#include "engine/base/exception.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

Window::Window(const SkinPath& node) : Service("window")
{
    read_skin_value(node + "fullscreen", &m_fullscreen);
    read_skin_value(node + "color_depth", &m_color_depth);
    Vector2<int> size;
    read_vector2i(node + "size", &size);
    bool fixed = false;
    read_skin_value(node + "fixed", &fixed);
    // Sizes are divided by when fitting: an empty one is bad data, not a crash.
    if (size.x <= 0 || size.y <= 0)
        throw ServiceException("window", "window size must be positive [" + (node + "size").text() + "]");
    m_size = size;
    if (fixed)
        m_logical_size = size;
    fit();
}

void Window::initialize()
{
    check_display_mode();
}

void Window::fit()
{
    if (!has_logical_size()) {
        m_to_window = Transform();
        m_to_logical = Transform();
        return;
    }
    const float w = static_cast<float>(m_size.x);
    const float h = static_cast<float>(m_size.y);
    const float lw = static_cast<float>(m_logical_size.x);
    const float lh = static_cast<float>(m_logical_size.y);
    const Vector2<float> fitted = h * lw < w * lh ? Vector2<float>{h * lw / lh, h} : Vector2<float>{w, w * lh / lw};
    m_to_window = Transform::compose({fitted.x / lw, fitted.y / lh}, 0.0f,
                                     {w * 0.5f - fitted.x * 0.5f, h * 0.5f - fitted.y * 0.5f});
    m_to_window.inverse(m_to_logical);
}

Vector2<int> Window::to_window(Vector2<float> point) const
{
    const Vector2<float> pixel = m_to_window.transform_point(point);
    return {round_to_int(pixel.x), round_to_int(pixel.y)};
}

Vector2<float> Window::to_logical(Vector2<int> pixel) const
{
    return m_to_logical.transform_point({static_cast<float>(pixel.x), static_cast<float>(pixel.y)});
}

RectI Window::viewport() const
{
    const int w = m_size.x;
    const int h = m_size.y;
    if (!has_logical_size())
        return {0, 0, w, h};
    const int lw = m_logical_size.x;
    const int lh = m_logical_size.y;
    // In 64 bits: the products of two sizes outgrow 32 bits long before a size does.
    const bool bars_left_right = std::int64_t{h} * lw < std::int64_t{w} * lh;
    const int fitted_w = bars_left_right ? static_cast<int>(std::int64_t{h} * lw / lh) : w;
    const int fitted_h = bars_left_right ? h : static_cast<int>(std::int64_t{w} * lh / lw);
    return {w / 2 - fitted_w / 2, h / 2 - fitted_h / 2, fitted_w, fitted_h};
}

void Window::set_fullscreen(bool fullscreen)
{
    if (fullscreen == m_fullscreen)
        return;
    store_window_position();
    m_fullscreen = fullscreen;
    reapply_mode();
}

void Window::reapply_mode()
{
    check_display_mode();
    apply_mode();
    on_mode_applied();
    m_on_changed.emit_void();
}

}
