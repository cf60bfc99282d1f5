#include "engine/ui/control.h"

#include <algorithm>
#include <cmath>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/base/math_utils.h"
#include "engine/host/window/input_state.h"
#include "engine/platform/artist.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/hardware_cursor.h"

namespace kq {

namespace {

void log_misuse(const char* message, int line)
{
    log_error(message, source_file_name(__FILE__), line);
}

/// How long `fade_color` takes.
constexpr int fade_duration_ms = 200;

}

Control::Control() = default;

Control::Control(const Control& other)
    : SkinIO(other),
      m_path(other.m_path),
      m_skin_path(other.m_skin_path),
      m_x(other.m_x),
      m_y(other.m_y),
      m_z(other.m_z),
      m_sx(other.m_sx),
      m_sy(other.m_sy),
      m_x_snap(other.m_x_snap),
      m_y_snap(other.m_y_snap),
      m_sx_snap(other.m_sx_snap),
      m_sy_snap(other.m_sy_snap),
      m_z_snap(other.m_z_snap),
      m_position(other.m_position),
      m_size(other.m_size),
      m_state(other.m_state & ~inherited_mask),
      m_cursor(other.m_cursor),
      m_sw_cursor(other.m_sw_cursor),
      m_color(other.m_color),
      m_sprite(other.m_sprite),
      m_variables(other.m_variables)
{
}

Control::~Control()
{
    if (m_parent) {
        log_misuse("Control destroyed before detach. On_detach will not called correctly.", __LINE__);
        detach_child(m_parent, this);
    }
    // The look may outlive the control where others share it: it must not ask a dead control.
    if (m_sprite && (m_sprite->inherit() & sprite_takes_variables))
        m_sprite->set_data_provider(nullptr);
}

void Control::set_up(const ControlIniter& initer)
{
    initer.apply(*this);
}

void Control::read_skin(const SkinPath& path)
{
    set_skin_path(path);
}

void Control::screen_to_client(Vector2<int>& p) const
{
    p.x -= m_position.x;
    p.y -= m_position.y;
    if (m_parent)
        m_parent->screen_to_client(p);
}

void Control::client_to_screen(Vector2<int>& p) const
{
    p.x += m_position.x;
    p.y += m_position.y;
    if (m_parent)
        m_parent->client_to_screen(p);
}

void Control::draw(Artist& artist)
{
    if (!m_sprite)
        return;
    if (m_sprite->inherit() & sprite_takes_view_flags) {
        std::uint32_t mask = 0;
        std::uint32_t flags = 0;
        get_view_flags(m_sprite.get(), mask, flags);
        m_sprite->set_flags(mask, flags);
    }
    m_sprite->tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_sprite->render(artist);
}

Control* Control::hit_test(Vector2<int> p)
{
    if (!is_attached() || !is_visible(m_state) || (m_state & state_transparent_by_parent))
        return nullptr;
    if (p.x < m_position.x || p.y < m_position.y || p.x >= m_position.x + m_size.x ||
        p.y >= m_position.y + m_size.y)
        return nullptr;
    if (!(m_state & state_transparent_children)) {
        const Vector2<int> local{p.x - m_position.x, p.y - m_position.y};
        Control* found = nullptr;
        ++m_iterating;
        for (auto child = m_children.rbegin(); child != m_children.rend() && !found; ++child)
            if (*child)
                found = (*child)->hit_test(local);
        --m_iterating;
        settle();
        if (found)
            return found;
    }
    return (m_state & state_transparent_self) ? nullptr : this;
}

void Control::get_view_flags(Sprite*, std::uint32_t& mask, std::uint32_t& flags) const
{
    mask = VF_DISABLED | VF_POINTED | VF_PRESSED | VF_FOCUSED;
    flags = 0;
    if (is_disabled())
        flags |= VF_DISABLED;
    if (is_pointed())
        flags |= VF_POINTED;
    if (m_pressed)
        flags |= VF_PRESSED;
    if (is_focused())
        flags |= VF_FOCUSED;
}

bool Control::get_variable(const std::string& name, std::string& value) const
{
    const auto found = m_variables.find(name);
    if (found != m_variables.end()) {
        value = found->second;
        return true;
    }
    return m_parent && m_parent->get_variable(name, value);
}

bool Control::child_precedes(const Control* a, const Control* b) const
{
    if (a->m_z_snap != b->m_z_snap)
        return a->m_z_snap < b->m_z_snap;
    return a->m_z < b->m_z;
}

void Control::on_mouse_enter()
{
    m_on_hover.emit(true);
}

void Control::on_mouse_leave()
{
    m_pressed = false;
    m_on_hover.emit(false);
}

bool Control::on_key(Key key, KeyState state)
{
    if (key == key_mouse_left && state == state_down) {
        if (is_enabled(m_state)) {
            take_focus();
            m_pressed = true;
        }
    } else if (key == key_mouse_left && state == state_up) {
        if (m_pressed) {
            m_pressed = false;
            m_on_click.emit();
        }
    } else if (key == key_mouse_right && state == state_down) {
        if (m_on_right_click)
            m_on_right_click();
    }
    return false;
}

std::uint32_t Control::bits_for_children(std::uint32_t state) const
{
    std::uint32_t bits = 0;
    if (!is_visible(state))
        bits |= state_hidden_by_parent;
    if (!is_enabled(state))
        bits |= state_disabled_by_parent;
    if (state & (state_transparent_children | state_transparent_by_parent))
        bits |= state_transparent_by_parent;
    return bits;
}

void Control::on_state_changed(std::uint32_t old_state, std::uint32_t new_state)
{
    if (is_visible(old_state) != is_visible(new_state))
        on_visible_changed(is_visible(new_state));
    if (is_enabled(old_state) != is_enabled(new_state))
        on_enabled_changed(is_enabled(new_state));
    if (is_attached()) {
        const std::uint32_t bits = bits_for_children(new_state);
        for_each_child([bits](Control* child) { child->set_state(bits, inherited_mask); });
    }
}

void Control::on_visible_changed(bool visible)
{
    if (!m_ui || !is_attached())
        return;
    if (visible) {
        Vector2<int> mouse = m_ui->mouse_position();
        if (m_parent)
            m_parent->screen_to_client(mouse);
        if (hit_test(mouse))
            m_ui->update_hover();
        return;
    }
    if (is_focused())
        m_ui->set_focus(nullptr);
    if (is_pointed())
        m_ui->update_hover();
}

void Control::on_enabled_changed(bool enabled)
{
    if (!enabled && is_focused())
        m_ui->set_focus(nullptr);
}

void Control::refresh()
{
    if (m_sprite)
        m_sprite->on_data_changed();
}

void Control::on_attach()
{
    if (is_attached() && m_parent) {
        m_parent->mark_unsorted();
        m_parent->settle();
    }
    update_layout(true);
    if (!m_parent)
        return;
    const std::uint32_t old_state = m_state;
    m_state = (m_state & ~inherited_mask) | m_parent->bits_for_children(m_parent->m_state);
    if (m_state != old_state)
        on_state_changed(old_state, m_state);
}

void Control::on_detach()
{
    const std::uint32_t old_state = m_state;
    m_state &= ~inherited_mask;
    if (m_state != old_state)
        on_state_changed(old_state, m_state);
}

// --- tree ----------------------------------------------------------------------------------

void Control::attach_to_parent(Control* child, Control* parent)
{
    if (!child || !parent)
        return;
    // A listed child of an unattached parent has no parent pointer yet: the list tells.
    if (child->m_parent == parent ||
        std::find(parent->m_children.begin(), parent->m_children.end(), child) != parent->m_children.end()) {
        log_misuse("Control already attached to this parent.", __LINE__);
        return;
    }
    if (child->m_parent)
        detach_child(child->m_parent, child);
    parent->m_children.push_back(child);
    if (parent->is_attached())
        child->attach_subtree(parent);
}

void Control::attach_subtree(Control* parent)
{
    m_parent = parent;
    m_ui = parent->m_ui;
    on_attach();
    if (!m_parent) {
        log_misuse("Control detached during attach. Bad idea.", __LINE__);
        return;
    }
    if (m_ui)
        m_ui->control_attached(this);
    for_each_child([this](Control* child) { child->attach_subtree(this); });
    on_attached();
}

void Control::detach_child(Control* parent, Control* child)
{
    auto entry = std::find(parent->m_children.begin(), parent->m_children.end(), child);
    if (!child || entry == parent->m_children.end()) {
        log_misuse("Control not attached to this parent.", __LINE__);
        return;
    }
    Control* following = nullptr;
    for (auto next = std::next(entry); next != parent->m_children.end() && !following; ++next)
        following = *next;
    if (parent->m_iterating > 0) {
        *entry = nullptr;
        parent->mark_unsorted();
    } else {
        parent->m_children.erase(entry);
    }
    ++parent->m_iterating;
    if (parent->is_attached() && child->m_parent == parent)
        child->detach_subtree();
    if (following)
        following->update_layout(false);
    --parent->m_iterating;
    parent->settle();
}

void Control::detach_subtree()
{
    for_each_child([](Control* child) { child->detach_subtree(); });
    on_detach();
    if (m_ui)
        m_ui->control_detached(this);
    m_ui = nullptr;
    m_parent = nullptr;
    // Calls still pending for this control run now; they find it detached, so none of them
    // opens a dialog or frame under a control that is leaving the tree.
    if (Mainframe::instance())
        Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(this));
}

void Control::detach()
{
    if (m_parent)
        detach_child(m_parent, this);
}

void Control::for_each_child(const std::function<void(Control*)>& f)
{
    ++m_iterating;
    try {
        for (Control* child : m_children)
            if (child)
                f(child);
    } catch (...) {
        --m_iterating;
        settle();
        throw;
    }
    --m_iterating;
    settle();
}

void Control::for_each_child_reverse(const std::function<void(Control*)>& f)
{
    ++m_iterating;
    try {
        for (auto child = m_children.rbegin(); child != m_children.rend(); ++child)
            if (*child)
                f(*child);
    } catch (...) {
        --m_iterating;
        settle();
        throw;
    }
    --m_iterating;
    settle();
}

void Control::mark_unsorted()
{
    m_children_sorted = false;
}

void Control::settle()
{
    if (m_children_sorted || m_iterating > 0)
        return;
    m_children_sorted = true;
    m_children.remove(nullptr);
    // std::list::sort is stable: siblings of equal place keep their attach order.
    m_children.sort([this](const Control* a, const Control* b) { return child_precedes(a, b); });
}

std::pair<Control*, Control*> Control::siblings() const
{
    if (!m_parent)
        return {nullptr, nullptr};
    const std::list<Control*>& list = m_parent->m_children;
    const auto self = std::find(list.begin(), list.end(), this);
    if (self == list.end())
        return {nullptr, nullptr};
    Control* previous = nullptr;
    for (auto it = list.begin(); it != self; ++it)
        if (*it)
            previous = *it;
    Control* next = nullptr;
    for (auto it = std::next(self); it != list.end() && !next; ++it)
        next = *it;
    return {previous, next};
}

// --- state -----------------------------------------------------------------------------------

void Control::set_hidden(bool hidden)
{
    set_state(hidden ? state_hidden : 0, state_hidden);
}

void Control::set_disabled(bool disabled)
{
    set_state(disabled ? state_disabled : 0, state_disabled);
}

void Control::set_state(std::uint32_t bits, std::uint32_t mask)
{
    const std::uint32_t old_state = m_state;
    m_state = (m_state & ~mask) | (bits & mask);
    if (m_state != old_state)
        on_state_changed(old_state, m_state);
}

bool Control::is_pointed() const
{
    return m_ui && is_attached() && m_ui->hovered() == this;
}

bool Control::is_focused() const
{
    return m_ui && is_attached() && m_ui->focused() == this;
}

bool Control::has_capture() const
{
    return m_ui && is_attached() && m_ui->capture() == this;
}

void Control::take_focus()
{
    if (m_ui && is_attached() && !is_focused())
        m_ui->set_focus(this);
}

void Control::drop_focus()
{
    if (is_focused())
        m_ui->set_focus(nullptr);
}

void Control::capture_mouse(int kind)
{
    if (m_ui && is_attached())
        m_ui->set_capture(this, kind);
}

void Control::release_mouse()
{
    if (m_ui && is_attached())
        m_ui->release_capture(this);
}

void Control::grab_keys(int kind)
{
    if (m_ui && is_attached())
        m_ui->push_focus(this, kind);
}

void Control::release_keys()
{
    if (m_ui && is_attached())
        m_ui->release_focus(this);
}

void Control::renew_key_grab()
{
    if (m_ui && is_attached())
        m_ui->renew_key_grab(this);
}

Vector2<int> Control::mouse_position() const
{
    if (!m_ui || !is_attached())
        return {0, 0};
    Vector2<int> p = m_ui->mouse_position();
    screen_to_client(p);
    return p;
}

bool Control::is_key_up(int virtual_key) const
{
    return !is_attached() || !host::is_key_down(virtual_key);
}

// --- timers and animation ---------------------------------------------------------------------

void Control::add_timer(ControlHost::TimerCallback callback, int interval_ms)
{
    if (!m_ui || !is_attached()) {
        log_misuse("Unattached controls cannot create timers.", __LINE__);
        return;
    }
    m_ui->add_timer(std::move(callback), interval_ms, this);
}

void Control::kill_timers()
{
    if (!m_ui || !is_attached()) {
        log_misuse("Unattached controls cannot create timers.", __LINE__);
        return;
    }
    m_ui->kill_timers(this);
}

void Control::fade_color(const Color& from, const Color& to, bool wait)
{
    if (!m_ui || !is_attached())
        return;
    m_color = from;
    m_ui->add_timer(
        [this, from, to](int elapsed) {
            if (elapsed >= fade_duration_ms) {
                m_color = to;
                return false;
            }
            // Ease-out: sin of the elapsed share of a quarter turn.
            const float s = std::sin((float(elapsed) * 0.0015707964f) / (float(fade_duration_ms) * 0.001f));
            m_color = interpolate(to, from, s);
            return true;
        },
        0, this);
    if (wait)
        Mainframe::wait(fade_duration_ms);
}

void Control::move_to(Vector2<int> from, Vector2<int> to, int duration_ms)
{
    m_x = from.x;
    m_y = from.y;
    update_layout(false);
    if (!m_ui || !is_attached()) {
        log_misuse("Unattached controls cannot create timers.", __LINE__);
        return;
    }
    if (duration_ms <= 0) {
        // No time to spend: land at once rather than divide by the zero duration.
        m_x = to.x;
        m_y = to.y;
        update_layout(false);
        return;
    }
    m_ui->add_timer(
        [this, from, to, duration_ms](int elapsed) {
            if (elapsed > duration_ms) {
                m_x = to.x;
                m_y = to.y;
                update_layout(false);
                return false;
            }
            const float s = std::sin(std::sqrt(float(elapsed) / float(duration_ms)) * 1.5707964f);
            m_x = static_cast<int>(float(from.x) + float(to.x - from.x) * s);
            m_y = static_cast<int>(float(from.y) + float(to.y - from.y) * s);
            update_layout(false);
            return true;
        },
        0, this);
}

// --- look ------------------------------------------------------------------------------------

void Control::set_variable(const std::string& name, const std::string& value)
{
    const auto found = m_variables.find(name);
    if (found != m_variables.end() && found->second == value)
        return;
    m_variables[name] = value;
    refresh_tree();
}

void Control::refresh_tree()
{
    refresh();
    for_each_child([](Control* child) { child->refresh_tree(); });
}

void Control::draw_tree(Artist& artist)
{
    if (!is_visible(m_state))
        return;
    artist.push_translation(m_position);
    artist.multiply_global_color(m_color);
    draw(artist);
    for_each_child([&artist](Control* child) { child->draw_tree(artist); });
    draw_over(artist);
    artist.pop_global_color();
    artist.pop_transformation();
}

void Control::set_cursor(const ResHandle<Cursor>& cursor)
{
    ResHandle<Cursor> incoming = cursor;
    const Cursor* held = load_hardware_cursor(m_cursor);
    if (held == load_hardware_cursor(incoming) && (held || m_cursor == incoming))
        return;
    m_cursor = incoming;
    if (m_ui && is_attached())
        m_ui->update_cursor();
}

void Control::set_sw_cursor(SharedPtr<Sprite> cursor)
{
    if (m_sw_cursor.get() == cursor.get())
        return;
    m_sw_cursor = std::move(cursor);
    if (m_ui && is_attached())
        m_ui->update_cursor();
}

ResHandle<Cursor>& Control::find_cursor()
{
    Control* control = this;
    while (control->m_cursor.empty() && control->m_parent)
        control = control->m_parent;
    return control->m_cursor;
}

SharedPtr<Sprite> Control::find_sw_cursor()
{
    Control* control = this;
    while (!control->m_sw_cursor && control->m_parent)
        control = control->m_parent;
    return control->m_sw_cursor;
}

void Control::set_sprite(SharedPtr<Sprite> sprite)
{
    m_sprite = std::move(sprite);
    if (m_sprite && (m_sprite->inherit() & sprite_takes_variables))
        m_sprite->set_data_provider(
            [this](const std::string& name, std::string& value) { return get_variable(name, value); });
}

}
