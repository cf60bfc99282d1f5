#include "engine/ui/ui.h"

#include <algorithm>
#include <cmath>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/platform/artist.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/hardware_cursor.h"

namespace kq {

namespace {

constexpr const char* ui_service_name = "ui";
/// Codes up to this one are mouse buttons.
constexpr int last_mouse_code = 6;
/// Period of the timer task.
constexpr int task_period_ms = 10;
/// Frames a second at most: where the device does not wait for the display, no more are drawn.
constexpr int max_frame_rate = 60;

bool near(float a, float b)
{
    return std::fabs(a - b) < 0.1f;
}

}

UI::UI(const SkinPath& node, SharedPtr<Window> window, Artist* artist)
    : Service(ui_service_name), m_window(std::move(window)), m_artist(artist), m_pacer(max_frame_rate)
{
    read_skin_value(node + "hw_cursor", &m_hw_cursor);
    read_skin_value(node + "dblclick_time", &m_dblclick_time);
    m_root = SharedPtr<RootControl>(new RootControl(this));
    m_root->set_skin_path(node + "root_control");
}

UI::~UI() = default;

// --- life ------------------------------------------------------------------------------------

void UI::place_root()
{
    m_root->set_position({0, 0});
    if (m_window)
        m_root->set_size(m_window->size());
    m_root->set_snaps(XSnap::left, YSnap::top);
}

void UI::initialize()
{
    place_root();
    push_focus(m_root.get(), 0);
    connect_window();
    m_timer_clock = m_frame_clock = time_ms();
    m_frame_time = 0;
    m_timer_task = Mainframe::add_task([this] { update_timers(); }, 0, task_period_ms, Mainframe::periodic);
    m_draw_task = Mainframe::add_task([this] { paced_frame(); }, 0, task_period_ms, Mainframe::run_once);
}

void UI::shutdown()
{
    Mainframe::remove_task(m_draw_task);
    Mainframe::remove_task(m_timer_task);
    end_drag();
    // Events still waiting would reach a UI that no longer runs.
    Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(this));
    set_focus(nullptr);
    set_hovered(nullptr);
    if (m_root) {
        release_focus(m_root.get());
        // Children still attached would keep pointers to the root after it is gone.
        while (!m_root->children().empty())
            Control::detach_child(m_root.get(), m_root->children().front());
    }
    m_root = SharedPtr<RootControl>();
    disconnect_window();
}

void UI::connect_window()
{
    if (!m_window)
        return;
    // Each event is handled on a later scheduler step, as a run-once task keyed by the UI.
    const auto later = [this](std::function<void()> handler) {
        Mainframe::add_task(std::move(handler), reinterpret_cast<Mainframe::TaskId>(this), 0, Mainframe::run_once);
    };
    Window& window = *m_window;
    window.on_mouse_move().connect([this, later](Vector2<int> p) { later([this, p] { on_mouse_move(p); }); }, this);
    window.on_wheel().connect([this, later](int delta) { later([this, delta] { on_wheel(delta); }); }, this);
    window.on_mouse_leave().connect([this, later] { later([this] { on_window_leave(); }); }, this);
    window.on_mouse_enter().connect([this, later] { later([this] { on_window_enter(); }); }, this);
    window.on_key().connect([this, later](Key key, KeyState state) { later([this, key, state] { on_key(key, state); }); },
                          this);
    window.on_char().connect([this, later](char c) { later([this, c] { on_char(c); }); }, this);
    window.on_changed().connect([this] { on_format_changed(); }, this);
}

void UI::disconnect_window()
{
    if (!m_window)
        return;
    m_window->on_mouse_move().disconnect(this);
    m_window->on_wheel().disconnect(this);
    m_window->on_mouse_leave().disconnect(this);
    m_window->on_mouse_enter().disconnect(this);
    m_window->on_key().disconnect(this);
    m_window->on_char().disconnect(this);
    m_window->on_changed().disconnect(this);
}

// --- tree notifications ----------------------------------------------------------------------

void UI::control_attached(Control* control)
{
    Control* parent = control->parent();
    if (!parent || parent != m_hovered)
        return;
    Vector2<int> p = m_mouse_pos;
    if (Control* above = parent->parent())
        above->screen_to_client(p);
    if (Control* hit = parent->hit_test(p))
        set_hovered(hit);
}

void UI::control_detached(Control* control)
{
    const auto drop = [control](std::vector<StackEntry>& stack) {
        std::erase_if(stack, [control](const StackEntry& entry) { return entry.control == control; });
    };
    const bool captured = has_kind(m_capture, 1);
    const bool grabbed = has_kind(m_key_stack, 1);
    drop(m_key_stack);
    drop(m_capture);
    // A capture or grab that left with its control is given back to the system.
    if (m_window && captured && !has_kind(m_capture, 1))
        m_window->release_mouse();
    if (m_window && grabbed && !has_kind(m_key_stack, 1))
        m_window->set_keyboard_focus(false);
    if (m_hovered == control)
        update_hover();
    if (m_focused == control) {
        m_focused = nullptr;
        control->on_kill_focus();
    }
    kill_timers(control);
}

// --- hover, focus, stacks ----------------------------------------------------------------------

void UI::forget_press()
{
    m_last_press_time = 0;
    m_last_press_key = key_none;
}

bool UI::has_kind(const std::vector<StackEntry>& stack, int kind) const
{
    return std::any_of(stack.begin(), stack.end(), [kind](const StackEntry& entry) { return entry.kind == kind; });
}

void UI::set_hovered(Control* control)
{
    if (control == m_hovered)
        return;
    forget_press();
    Control* const old = m_hovered;
    // Set before the hooks run: a control detached inside them then finds the UI current.
    m_hovered = control;
    if (old)
        old->on_mouse_leave();
    if (m_hovered != control)
        return;
    if (control)
        control->on_mouse_enter();
    if (m_hovered != control)
        return;
    m_on_hover_changed.emit(control);
    update_cursor();
}

void UI::update_hover()
{
    if (!m_root)
        return;
    if (m_capture.empty()) {
        set_hovered(m_root->hit_test(m_mouse_pos));
        return;
    }
    const StackEntry top = m_capture.back();
    if (top.kind == 1) {
        set_hovered(top.control);
        return;
    }
    Vector2<int> p = m_mouse_pos;
    if (Control* parent = top.control->parent())
        parent->screen_to_client(p);
    Control* hit = top.control->hit_test(p);
    set_hovered(hit ? hit : top.control);
}

void UI::refresh_hover_over(Control* control)
{
    Vector2<int> p = m_mouse_pos;
    if (Control* parent = control->parent())
        parent->screen_to_client(p);
    if (control->hit_test(p))
        update_hover();
}

void UI::set_focus(Control* control)
{
    if (control == m_focused)
        return;
    Control* const old = m_focused;
    m_focused = control;
    if (old)
        old->on_kill_focus();
    if (control && m_focused == control)
        control->on_set_focus();
}

void UI::set_capture(Control* control, int kind)
{
    if (kind == 1 && !has_kind(m_capture, 1) && m_window)
        m_window->capture_mouse();
    m_capture.push_back({control, kind});
    update_hover();
}

void UI::release_capture(Control* control)
{
    const auto found = std::find_if(m_capture.rbegin(), m_capture.rend(),
                                    [control](const StackEntry& entry) { return entry.control == control; });
    if (found == m_capture.rend()) {
        log_error("Control have not mouse capture.", source_file_name(__FILE__), __LINE__);
        return;
    }
    const bool captured = has_kind(m_capture, 1);
    m_capture.erase(std::next(found).base());
    update_hover();
    if (captured && !has_kind(m_capture, 1) && m_window)
        m_window->release_mouse();
}

void UI::push_focus(Control* control, int kind)
{
    if (kind == 1 && !has_kind(m_key_stack, 1) && m_window)
        m_window->set_keyboard_focus(true);
    m_key_stack.push_back({control, kind});
}

void UI::release_focus(Control* control)
{
    const auto found = std::find_if(m_key_stack.rbegin(), m_key_stack.rend(),
                                    [control](const StackEntry& entry) { return entry.control == control; });
    if (found == m_key_stack.rend())
        return;
    const int kind = found->kind;
    m_key_stack.erase(std::next(found).base());
    if (kind == 1 && !has_kind(m_key_stack, 1) && m_window)
        m_window->set_keyboard_focus(false);
}

void UI::renew_key_grab(Control* control)
{
    const bool grabbing = std::any_of(m_key_stack.begin(), m_key_stack.end(), [control](const StackEntry& entry) {
        return entry.control == control && entry.kind == 1;
    });
    if (grabbing && m_window)
        m_window->set_keyboard_focus(true);
}

// --- input -----------------------------------------------------------------------------------

void UI::on_mouse_move(Vector2<int> position)
{
    m_mouse_pos = position;
    forget_press();
    if (m_drag)
        m_drag->set_position({position.x + m_drag_offset.x, position.y + m_drag_offset.y});
    if (m_hovered) {
        Vector2<int> local = position;
        m_hovered->screen_to_client(local);
        m_hovered->on_mouse_move(local);
    }
    if (!m_capture.empty() && m_capture.back().kind == 1)
        return;
    Control* const before = m_hovered;
    update_hover();
    if (m_hovered && m_hovered != before) {
        Vector2<int> local = position;
        m_hovered->screen_to_client(local);
        m_hovered->on_mouse_move(local);
    }
}

void UI::on_key(Key key, KeyState state)
{
    m_on_key.emit(key, state);
    if (key > last_mouse_code) {
        route_to_key_stack([key, state](Control* control) { return control->on_key(key, state); });
        return;
    }
    route_mouse_key(key, state);
    if (key == key_mouse_left && state == state_up)
        end_drag();
}

void UI::route_mouse_key(Key key, KeyState state)
{
    Control* const target = m_hovered;
    if (!target || !target->is_visible(target->state()) || !target->is_enabled(target->state()))
        return;
    if (state == state_down) {
        const std::int64_t now = time_ms();
        if (m_last_press_key == key && now <= m_last_press_time + m_dblclick_time) {
            forget_press();
            state = state_double_click;
        } else {
            m_last_press_time = now;
            m_last_press_key = key;
        }
    }
    target->on_key(key, state);
}

void UI::start_drag(SharedPtr<Control> control, Vector2<int> offset)
{
    m_drag = std::move(control);
    m_drag_offset = offset;
}

void UI::end_drag()
{
    if (!m_drag)
        return;
    // The receiver may take the control out of the slot; what it leaves there goes. The copy
    // keeps the control alive until then.
    const SharedPtr<Control> keep = m_drag;
    if (m_hovered)
        m_hovered->on_drop(m_drag);
    if (m_drag && m_drag->parent())
        Control::detach_child(m_drag->parent(), m_drag.get());
    m_drag = SharedPtr<Control>();
}

void UI::on_char(char character)
{
    route_to_key_stack([character](Control* control) { return control->on_char(character); });
}

bool UI::route_to_key_stack(const std::function<bool(Control*)>& offer)
{
    // A handler may change the stack: walk a copy and skip entries that left meanwhile.
    const std::vector<StackEntry> entries = m_key_stack;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        Control* const control = entry->control;
        const bool still_listed = std::any_of(m_key_stack.begin(), m_key_stack.end(),
                                              [control](const StackEntry& e) { return e.control == control; });
        if (!still_listed || !control->is_visible(control->state()) || !control->is_enabled(control->state()))
            continue;
        if (offer(control))
            return true;
    }
    return false;
}

void UI::on_wheel(int delta)
{
    if (m_hovered)
        m_hovered->on_wheel(delta);
}

void UI::on_window_enter()
{
    if (!has_kind(m_capture, 1))
        update_hover();
}

void UI::on_window_leave()
{
    if (!has_kind(m_capture, 1) && m_hovered)
        set_hovered(nullptr);
}

void UI::on_format_changed()
{
    if (m_root && m_window)
        m_root->set_size(m_window->size());
    update_cursor();
}

// --- cursor ----------------------------------------------------------------------------------

void UI::set_hw_cursor(bool hw_cursor)
{
    if (hw_cursor == m_hw_cursor)
        return;
    m_hw_cursor = hw_cursor;
    update_cursor();
}

void UI::show_cursor(bool visible)
{
    if (visible == m_cursor_visible)
        return;
    m_cursor_visible = visible;
    update_cursor();
}

void UI::set_cursor_sprite(const SharedPtr<Sprite>& sprite)
{
    if (sprite.get() == m_cursor_sprite.get())
        return;
    if (m_cursor_sprite)
        m_cursor_layer.remove_child(m_cursor_sprite.get());
    m_cursor_sprite = sprite;
    if (m_cursor_sprite)
        m_cursor_layer.add_child(m_cursor_sprite);
}

void UI::update_cursor()
{
    Control* const source = m_hovered ? m_hovered : m_root.get();
    if (!m_cursor_visible) {
        if (m_window)
            m_window->set_cursor(nullptr);
        set_cursor_sprite(SharedPtr<Sprite>());
        return;
    }
    if (m_hw_cursor) {
        if (m_window)
            m_window->set_cursor(hardware_cursor_of(source));
        return;
    }
    if (m_window)
        m_window->set_cursor(nullptr);
    set_cursor_sprite(source ? source->find_sw_cursor() : SharedPtr<Sprite>());
}

Cursor* UI::hardware_cursor_of(Control* source)
{
    if (!source)
        return nullptr;
    ResHandle<Cursor>& named = source->find_cursor();
    if (Cursor* cursor = load_hardware_cursor(named))
        return cursor;
    // A cursor that cannot be loaded leaves the window's arrow, not a hidden pointer.
    return named.empty() ? nullptr : load_hardware_cursor(m_default_cursor);
}

// --- timers ----------------------------------------------------------------------------------

void UI::add_timer(TimerCallback callback, int interval_ms, Control* owner)
{
    if (!owner || !callback || interval_ms < 0) {
        log_error("Invalid timer. Ignored.", source_file_name(__FILE__), __LINE__);
        return;
    }
    // Counting from 0: the next step's time is its first, never counted twice.
    m_timers.emplace(owner, Timer{interval_ms, 0, std::move(callback), false});
}

void UI::kill_timers(Control* owner)
{
    const auto [first, last] = m_timers.equal_range(owner);
    for (auto timer = first; timer != last; ++timer)
        timer->second.removed = true;
}

void UI::update_timers()
{
    const std::int64_t now = time_ms();
    const int dt = static_cast<int>(now - m_timer_clock);
    for (auto record = m_timers.begin(); record != m_timers.end();) {
        Timer& timer = record->second;
        bool keep = !timer.removed;
        if (keep && timer.interval == 0) {
            timer.elapsed += dt;
            keep = timer.callback(timer.elapsed);
        } else if (keep) {
            for (int rest = dt; rest > 0 && keep && !timer.removed;) {
                const int step = std::min(timer.interval - timer.elapsed % timer.interval, rest);
                timer.elapsed += step;
                rest -= step;
                if (timer.elapsed % timer.interval == 0)
                    keep = timer.callback(timer.elapsed);
            }
        }
        record = keep && !timer.removed ? std::next(record) : m_timers.erase(record);
    }
    m_timer_clock = now;
}

// --- drawing ---------------------------------------------------------------------------------

void UI::draw_margins()
{
    const Color black{0, 0, 0, 1};
    Rect surface;
    m_artist->screen_rect(surface);
    if (m_first_frame || !m_window->has_logical_size()) {
        m_first_frame = false;
        m_artist->clear(black);
        return;
    }
    const float w = static_cast<float>(m_window->size().x);
    const float h = static_cast<float>(m_window->size().y);
    const bool fits_across = near(surface.x, 0) && near(surface.w, w);
    const bool fits_down = near(surface.y, 0) && near(surface.h, h);
    if (fits_across && fits_down)
        return;
    if (!fits_across && !fits_down) {
        m_artist->clear(black);
        return;
    }
    Rect bands[2];
    if (fits_across) {
        bands[0] = {surface.x, surface.y, surface.w, -surface.y};
        bands[1] = {0, h, surface.w, surface.y + surface.h - h};
    } else {
        bands[0] = {surface.x, surface.y, -surface.x, surface.h};
        bands[1] = {w, 0, surface.x + surface.w - w, surface.h};
    }
    m_artist->reset_render_state();
    for (const Rect& band : bands)
        m_artist->fill_rect(Rect{band.x - 2, band.y - 2, band.w + 4, band.h + 4}, black);
}

void UI::paced_frame()
{
    m_pacer.frame_started(time_ms());
    draw_frame();
    // At least a millisecond on, so that a late frame never goes ahead of the tasks due.
    const std::int64_t delay = std::max<std::int64_t>(m_pacer.delay(time_ms()), 1);
    m_draw_task = Mainframe::add_task([this] { paced_frame(); }, m_draw_task, delay, Mainframe::run_once);
}

void UI::draw_frame()
{
    const std::int64_t now = time_ms();
    m_frame_time = static_cast<int>(now - m_frame_clock);
    m_frame_clock = now;
    if (!m_window || !m_window->is_visible() || !m_root || !m_artist || !m_artist->begin_scene())
        return;
    draw_margins();
    const bool clip = m_window->has_logical_size();
    if (clip) {
        const Vector2<int> size = m_window->size();
        m_artist->push_scissor(Rect{0, 0, float(size.x), float(size.y)});
    }
    m_root->draw_tree(*m_artist);
    if (clip)
        m_artist->pop_scissor();
    if (m_cursor_sprite) {
        if (!m_hw_cursor && m_hovered) {
            std::uint32_t mask = 0;
            std::uint32_t flags = 0;
            m_hovered->get_view_flags(m_cursor_sprite.get(), mask, flags);
            m_cursor_sprite->set_flags(mask, flags);
            m_cursor_sprite->set_position(m_mouse_pos);
            m_cursor_sprite->set_hidden(false);
        } else {
            m_cursor_sprite->set_hidden(true);
        }
    }
    m_cursor_layer.tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(m_timer_clock), nullptr});
    m_cursor_layer.render(*m_artist);
    m_artist->end_scene();
}

// --- service functions -------------------------------------------------------------------------

UI* start_ui_service(const SkinPath& node, SharedPtr<Window> window, Artist* artist)
{
    require_mainframe(ui_service_name);
    require_service(ui_service_name, Res::instance() != nullptr, "res");
    require_service(ui_service_name, Skin::instance() != nullptr, "skin");
    UI* ui = new UI(node, std::move(window), artist);
    start_service(ui);
    return ui;
}

void stop_ui_service()
{
    stop_service(UI::instance());
}

}
