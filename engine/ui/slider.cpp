#include "engine/ui/slider.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/art/skin_enum.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"

namespace kq {

namespace {

/// A float truncated toward zero, held within the range of int.
std::int64_t truncate_to_int_range(float value)
{
    if (std::isnan(value))
        return 0;
    const float low = float(std::numeric_limits<int>::min());
    const float high = float(std::numeric_limits<int>::max());
    return std::int64_t(std::clamp(value, low, high));
}

}

// --- SliderPin ---------------------------------------------------------------------------------

void SliderPin::on_mouse_move(Vector2<int>)
{
    if (host() && host()->capture() == this)
        m_slider->set_value_from_point(m_slider->mouse_position());
}

bool SliderPin::on_key(Key key, KeyState state)
{
    if (key == key_mouse_left && state == state_down) {
        capture_mouse(1);
    } else if (key == key_mouse_left && state == state_up && has_capture()) {
        release_mouse();
        m_slider->on_value().emit(true);
    }
    return Control::on_key(key, state);
}

// --- Slider ------------------------------------------------------------------------------------

Slider::Slider() : m_pin(this)
{
    m_pin.set_up(CIChild(this, "pin"));
    connect_click();
}

Slider::Slider(const Slider& other)
    : Control(other),
      m_min_value(other.m_min_value),
      m_max_value(other.m_max_value),
      m_value(other.m_value),
      m_direction(other.m_direction),
      m_border(other.m_border),
      m_pin(this)
{
    m_pin.set_up(CIChild(this, "pin"));
    connect_click();
}

Slider::~Slider()
{
    cancel_deferred(this);
    if (std::find(children().begin(), children().end(), &m_pin) != children().end())
        detach_child(this, &m_pin);
}

void Slider::connect_click()
{
    on_click().connect([this] { run_deferred(this, [this] { move_to_click(); }); }, this);
}

void Slider::move_to_click()
{
    set_value_from_point(mouse_position());
}

void Slider::relayout()
{
    Control::relayout();
    place_pin();
}

void Slider::read_skin()
{
    Control::read_skin();
    read_skin_value(path() + "min_value", &m_min_value);
    read_skin_value(path() + "max_value", &m_max_value);
    read_skin_enum(path() + "direction", &m_direction);
    read_skin_value(path() + "border", &m_border);
    m_value = m_min_value;
}

void Slider::set_value(int v)
{
    v = std::max(std::min(v, m_max_value), m_min_value);
    if (v == m_value)
        return;
    m_value = v;
    place_pin();
}

void Slider::set_max_value(int n)
{
    if (m_min_value == 0 && m_max_value == n)
        return;
    m_min_value = 0;
    m_max_value = n;
    m_value = std::max(std::min(m_value, m_max_value), m_min_value);
    place_pin();
}

Vector2<int> Slider::value_to_point() const
{
    const std::int64_t range = std::int64_t(m_max_value) - m_min_value;
    // An empty range shows its one value at the start of the track.
    const float f = range == 0 ? 0.0f : float(std::int64_t(m_value) - m_min_value) / float(range);
    const bool horizontal = m_direction == Direction::horizontal;
    const int extent = horizontal ? size().x : size().y;
    const int along = int(truncate_to_int_range(float(m_border) + f * float(extent - 2 * m_border)));
    return horizontal ? Vector2<int>{along, 0} : Vector2<int>{0, along};
}

void Slider::place_pin()
{
    Vector2<int> p = value_to_point();
    if (m_direction == Direction::horizontal)
        p.x -= size().x / 2;
    else
        p.y -= size().y / 2;
    m_pin.set_position(p);
}

void Slider::set_value_from_point(Vector2<int> p)
{
    const bool horizontal = m_direction == Direction::horizontal;
    const int offset = (horizontal ? p.x : p.y) - m_border;
    const int span = (horizontal ? size().x : size().y) - 2 * m_border;
    // A track no longer than its two borders has no value for a point: the minimum holds.
    std::int64_t v = m_min_value;
    if (span > 0) {
        const float range = float(std::int64_t(m_max_value) - m_min_value);
        v = truncate_to_int_range(float(offset) / float(span) * range) + m_min_value;
    }
    if (v == m_value)
        return;
    set_value(int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    const bool dragging = host() && is_attached() && host()->capture() == &m_pin;
    m_on_value.emit(!dragging);
}

}
