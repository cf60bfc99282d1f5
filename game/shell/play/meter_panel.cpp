#include "game/shell/play/meter_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/base/exception.h"
#include "engine/base/math_utils.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/ui.h"

namespace kq {

namespace {

const Color low_tint{1.0f, 0.75f, 0.75f, 1.0f};
const Color full_tint{1.0f, 1.0f, 1.0f, 1.0f};

}

MeterPanel::~MeterPanel()
{
    set_field(nullptr);
}

void MeterPanel::read_skin()
{
    Control::read_skin();
    m_full.read_skin(path() + "full");
    m_empty.read_skin(path() + "empty");
    read_skin_value(path() + "overload_effect_position", &m_overload_position);
    read_skin_value(path() + "overload_effect_name", &m_overload_effect);
    read_skin_value(path() + "left_side", &m_left_side);
    m_eye1 = read_eye(path() + "eye1");
    m_eye2 = read_eye(path() + "eye2");
    m_full_size = m_full.size();
    m_empty_size = m_empty.size();
}

SharedPtr<Sprite> MeterPanel::read_eye(const SkinPath& path)
{
    SharedPtr<Sprite> eye(clone_resource<Sprite, Sprite>(path));
    if (!eye)
        KQ_THROW(ServiceException, skin_service_name, "node [" + path.text() + "] describes no eye sprite");
    return eye;
}

void MeterPanel::set_field(Field* field)
{
    forget_field();
    m_field = field;
    if (!m_field)
        return;
    m_field->on_meter_overload().connect([this] { show_overload(); }, this);
    m_field->on_meter_changed().connect([this] { take_meter(); }, this);
    m_field->on_destroyed().connect([this] { m_field = nullptr; }, this);
    for (const SharedPtr<Sprite>& eye : {m_eye1, m_eye2}) {
        if (!eye)
            continue;
        m_field->effect_layer().add_child(eye);
        eye->set_hidden(false);
    }
    m_target = m_field->meter();
}

void MeterPanel::forget_field()
{
    if (!m_field)
        return;
    m_field->on_meter_overload().disconnect(this);
    m_field->on_meter_changed().disconnect(this);
    m_field->on_destroyed().disconnect(this);
    for (const SharedPtr<Sprite>& eye : {m_eye1, m_eye2})
        if (eye && eye->parent() == &m_field->effect_layer())
            m_field->effect_layer().remove_child(eye.get());
    m_field = nullptr;
}

void MeterPanel::take_meter()
{
    if (m_field)
        m_target = m_field->meter();
}

void MeterPanel::show_overload()
{
    if (!m_field)
        return;
    const int now = m_field->field_time();
    if (m_last_overload != -1 && m_last_overload + overload_pause_ms > now)
        return;
    m_last_overload = now;
    const SkinPath effect_path(m_overload_effect);
    if (m_overload_effect.empty() || !require_skin_environment().try_find_node(effect_path, true))
        return;
    SharedPtr<Sprite> effect(clone_resource<Sprite, Sprite>(effect_path));
    if (!effect)
        return;
    effect->set_position(m_overload_position);
    m_field->effect_layer().add_child(effect);
}

int MeterPanel::level_line() const
{
    if (!m_field || m_field->max_meter() <= 0)
        return int(gauge_bottom);
    return int(gauge_bottom - gauge_height * float(m_shown) / float(m_field->max_meter()));
}

void MeterPanel::draw(Artist& artist)
{
    Control::draw(artist);
    update_eyes();
    catch_up();
    const float level = std::clamp(float(m_shown) / float(tint_level), 0.0f, 1.0f);
    artist.multiply_global_color(interpolate(full_tint, low_tint, level));
    const int line = level_line();
    tell_meter_point(line);
    draw_gauge(artist, line);
    artist.pop_global_color();
}

void MeterPanel::update_eyes()
{
    const bool open = m_field && m_field->danger_mode() == DangerMode::none && m_field->game_state() != GameState::fail;
    for (const SharedPtr<Sprite>& eye : {m_eye1, m_eye2})
        if (eye)
            eye->set_hidden(!open);
}

void MeterPanel::catch_up()
{
    const std::int64_t d = std::int64_t(m_target) - m_shown;
    if (d == 0)
        return;
    const std::int64_t t = UI::instance() ? UI::instance()->frame_time() : 0;
    const std::int64_t distance = std::llabs(d);
    const std::int64_t step = std::min(distance, std::max(t * distance / 100, t * 60));
    m_shown = int(m_shown + (d > 0 ? step : -step));
}

void MeterPanel::tell_meter_point(int line)
{
    if (!m_field)
        return;
    Vector2<int> point{int(m_empty.position().x - m_empty.pivot().x) + int(std::lround(m_empty.size().x)) / 2, line};
    client_to_screen(point);
    m_field->set_dust_target(Vector2<float>{float(point.x), float(point.y)}, m_left_side);
}

void MeterPanel::draw_gauge(Artist& artist, int line)
{
    const Vector2<float> empty_size{m_empty_size.x, std::max(0.0f, float(line) - m_empty.position().y)};
    if (empty_size != m_empty.size())
        m_empty.set_size(empty_size);
    m_empty.render(artist);

    const Vector2<float> full_position{m_full.position().x, float(line)};
    if (full_position != m_full.position())
        m_full.set_position(full_position);
    m_full.set_source_rect(Vector2<int>{0, line}, m_full.tsize());
    const Vector2<float> full_size{m_full_size.x, std::max(0.0f, m_full_size.y - float(line))};
    if (full_size != m_full.size())
        m_full.set_size(full_size);
    m_full.render(artist);
}

}
