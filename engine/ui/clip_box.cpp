#include "engine/ui/clip_box.h"

#include <algorithm>
#include <cmath>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"

namespace kq {

ClipBox::ClipBox()
{
    set_up_scrollbars();
}

ClipBox::ClipBox(const ClipBox& other)
    : Control(other),
      m_top(other.m_top),
      m_bottom(other.m_bottom),
      m_left(other.m_left),
      m_right(other.m_right),
      m_hor_scroll(other.m_hor_scroll),
      m_vert_scroll(other.m_vert_scroll)
{
    set_up_scrollbars();
}

ClipBox::~ClipBox()
{
    cancel_deferred(this);
    for (Slider* slider : {&m_hor_scroll, &m_vert_scroll})
        if (std::find(children().begin(), children().end(), slider) != children().end())
            detach_child(this, slider);
}

void ClipBox::set_up_scrollbars()
{
    m_hor_scroll.set_up(CIChild(this, "hor_scroll"));
    m_vert_scroll.set_up(CIChild(this, "vert_scroll"));
    // The slider's flag does not matter here: every change moves the view.
    m_hor_scroll.on_value().connect(
        [this](bool) { run_deferred(this, [this] { set_scroll({m_hor_scroll.value(), m_scroll.y}); }); }, this);
    m_vert_scroll.on_value().connect(
        [this](bool) { run_deferred(this, [this] { set_scroll({m_scroll.x, m_vert_scroll.value()}); }); }, this);
}

void ClipBox::draw(Artist& artist)
{
    Control::draw(artist);
    if (!m_content)
        return;
    const RectI v = view();
    artist.push_scissor(Rect{float(v.x), float(v.y), float(v.w), float(v.h)});
    artist.push_translation(Vector2<int>{m_left - m_scroll.x, m_top - m_scroll.y});
    m_content->tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_content->render(artist);
    artist.pop_transformation();
    artist.pop_scissor();
}

bool ClipBox::on_key(Key key, KeyState state)
{
    if (key != key_mouse_middle)
        return Control::on_key(key, state);
    if (state == state_down) {
        capture_mouse(1);
        m_dragging = true;
        m_drag_point = mouse_position();
    } else if (state == state_up && m_dragging) {
        m_dragging = false;
        release_mouse();
    }
    return true;
}

void ClipBox::on_mouse_move(Vector2<int> point)
{
    if (!m_dragging)
        return;
    set_scroll({m_scroll.x - (point.x - m_drag_point.x), m_scroll.y - (point.y - m_drag_point.y)});
    m_drag_point = point;
}

void ClipBox::on_wheel(int delta)
{
    set_scroll({m_scroll.x, m_scroll.y + delta / -12});
}

void ClipBox::relayout()
{
    Control::relayout();
    update_scrollbars();
}

void ClipBox::read_skin()
{
    Control::read_skin();
    read_skin_value(path() + "ub", &m_top);
    read_skin_value(path() + "bb", &m_bottom);
    read_skin_value(path() + "lb", &m_left);
    read_skin_value(path() + "rb", &m_right);
    const SkinPath fragment = path() + "fragment";
    if (require_skin_environment().try_find_node(fragment, false))
        if (Sprite* sprite = clone_resource<Sprite, Sprite>(fragment))
            set_content(SharedPtr<Sprite>(sprite));
}

RectI ClipBox::view() const
{
    return {m_left, m_top, size().x - m_left - m_right, size().y - m_top - m_bottom};
}

Vector2<int> ClipBox::content_size() const
{
    if (!m_content)
        return {0, 0};
    const Vector2<float> s = m_content->size();
    return {int(std::lround(s.x)), int(std::lround(s.y))};
}

Vector2<int> ClipBox::max_scroll() const
{
    const Vector2<int> content = content_size();
    const RectI v = view();
    return {std::max(content.x - v.w, 0), std::max(content.y - v.h, 0)};
}

Vector2<int> ClipBox::to_content(Vector2<int> point) const
{
    return {point.x - m_left + m_scroll.x, point.y - m_top + m_scroll.y};
}

void ClipBox::set_scroll(Vector2<int> point)
{
    if (point == m_scroll)
        return;
    const Vector2<int> most = max_scroll();
    m_scroll = {std::clamp(point.x, 0, most.x), std::clamp(point.y, 0, most.y)};
    update_scrollbars();
}

void ClipBox::update_scrollbars()
{
    const Vector2<int> most = max_scroll();
    const auto follow = [](Slider& slider, int greatest, int offset) {
        slider.set_max_value(greatest);
        slider.set_disabled(greatest == 0);
        slider.set_value(offset);
    };
    follow(m_hor_scroll, most.x, m_scroll.x);
    follow(m_vert_scroll, most.y, m_scroll.y);
}

void ClipBox::set_content_size(Vector2<int> size)
{
    if (!m_content || content_size() == size)
        return;
    m_content->set_size(size);
    update_scrollbars();
}

void ClipBox::set_content(SharedPtr<Sprite> sprite)
{
    m_content = std::move(sprite);
    if (!m_content)
        return;
    m_content->set_position(Vector2<float>{0.0f, 0.0f});
    set_content_size(content_size());
}

}
