#include "engine/art/key_controller_spline.h"

#include <algorithm>

#include "engine/art/skin_enum.h"
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_curve.h"
#include "engine/art/spline_linear.h"
#include "engine/art/spline_value.h"
#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

using Linear = LinearSpline<float, VectorD<float>>;
using Cubic = CubicSpline<float, VectorD<float>>;
using Curve = CurveSpline<float, VectorD<float>>;

constexpr std::uint8_t spline_controller_version = 4;

// A new empty spline of the kind, or null for an unknown kind.
SCKSpline::FloatSpline* make_spline(SCKSpline::SplineType type)
{
    switch (type) {
    case SCKSpline::SplineType::linear:
        return new Linear;
    case SCKSpline::SplineType::cubic:
        return new Cubic;
    case SCKSpline::SplineType::curve:
        return new Curve;
    }
    return nullptr;
}

// Sets a key; a curve key also takes the bend (a negative bend keeps the key's own).
void set_spline_key(SCKSpline::FloatSpline& spline, float time, const VectorD<float>& value, float bend)
{
    if (auto* curve = dynamic_cast<Curve*>(&spline))
        curve->set_key(time, value, bend);
    else
        spline.set_key(time, value);
}

}

SCKSpline::SCKSpline() : m_spline(new Linear) {}

SCKSpline::SCKSpline(const SCKSpline& other)
    : SCProperty(other),
      m_spline(other.m_spline),
      m_start_chaos(other.m_start_chaos),
      m_finish_chaos(other.m_finish_chaos),
      m_proportional(other.m_proportional),
      m_additive(other.m_additive),
      m_aspiration(other.m_aspiration)
{
}

void SCKSpline::store(BStream& stream) const
{
    write_u8(stream, spline_controller_version);
    SCProperty::store(stream);
    stream.write_shared(m_spline);
    spline_value::write_float(stream, m_start_chaos);
    spline_value::write_float(stream, m_finish_chaos);
    write_u8(stream, m_proportional ? 1 : 0);
    write_u8(stream, m_additive ? 1 : 0);
    write_u32(stream, static_cast<std::uint32_t>(m_aspiration));
}

void SCKSpline::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > spline_controller_version)
        stream.error("unsupported version.");
    SCProperty::load(stream);
    if (version < 3) {
        auto* inline_spline = new Linear;
        m_spline = SharedPtr<FloatSpline>(inline_spline);
        inline_spline->load(stream);
    } else {
        stream.read_shared(m_spline);
        // A stored empty reference leaves an empty spline, never none.
        if (!m_spline)
            m_spline = SharedPtr<FloatSpline>(new Linear);
    }
    if (version == 0)
        return;
    m_start_chaos = spline_value::read_float(stream);
    m_finish_chaos = spline_value::read_float(stream);
    m_proportional = read_u8(stream) != 0;
    if (version >= 2)
        m_additive = read_u8(stream) != 0;
    if (version >= 4)
        m_aspiration = static_cast<std::int32_t>(read_u32(stream));
}

void SCKSpline::read_skin(const SkinPath& path)
{
    SCProperty::read_skin(path);
    read_skin_value(path + "start_chaos", &m_start_chaos);
    read_skin_value(path + "finish_chaos", &m_finish_chaos);
    read_skin_value(path + "proportional", &m_proportional);
    read_skin_value(path + "additive", &m_additive);
    int aspiration = 0;
    read_skin_value(path + "aspiration", &aspiration);
    m_aspiration = aspiration;
    SplineType type = SplineType::linear;
    read_skin_enum(path + "spline_type", &type);
    set_spline_type(type);
    // Only the linear kind takes keys from text; the others read nothing.
    StringStream text(get_skin_text(path + "spline"));
    writable_spline().read_text(text);
}

void SCKSpline::draw_factors(VectorD<float>& factors, float chaos, std::uint32_t count) const
{
    factors.resize(count);
    if (!(m_start_chaos > 0.0f || m_finish_chaos > 0.0f) || count == 0)
        return;
    const auto draw = [chaos] { return 1.0f - chaos + random_float(2.0f * chaos); };
    if (m_proportional) {
        std::fill(factors.begin(), factors.end(), draw());
        return;
    }
    for (float& factor : factors)
        factor = draw();
}

void SCKSpline::start()
{
    if (m_additive)
        remove_contribution();
    const auto count = static_cast<std::uint32_t>(std::max(component_count(), 0));
    draw_factors(m_start_factors, m_start_chaos, count);
    draw_factors(m_finish_factors, m_finish_chaos, count);
    SpriteController::start();
}

void SCKSpline::apply()
{
    const SpriteTimer* timer = find_timer();
    if (!timer || m_spline->empty())
        return;
    const float t = timer->coefficient();
    VectorD<float> v = m_spline->value(t);
    if (m_start_chaos > 0.0f || m_finish_chaos > 0.0f) {
        // Factors are drawn for the property's components; a value element beyond them
        // keeps its size.
        const VectorD<float> factors = spline_value::blend(m_start_factors, m_finish_factors, t);
        for (std::uint32_t i = 0; i < std::min(v.size(), factors.size()); ++i)
            v[i] *= factors[i];
    }
    VectorD<float> current;
    if (!read_driven(current))
        return;
    const std::int32_t elapsed = timer->elapsed();
    if (m_aspiration > 0 && elapsed < m_aspiration) {
        const float k = static_cast<float>(elapsed) / static_cast<float>(m_aspiration);
        for (std::uint32_t i = 0; i < v.size(); ++i) {
            const float from = i < current.size() ? current[i] : 0.0f;
            v[i] = from + (v[i] - from) * k;
        }
    }
    if (m_additive) {
        const VectorD<float> change = m_last.empty() ? v : spline_value::difference(v, m_last);
        m_last = v;
        v = spline_value::sum(current, change);
    }
    write_driven(v);
}

void SCKSpline::remove_contribution()
{
    if (m_last.empty())
        return;
    VectorD<float> current;
    if (read_driven(current)) {
        spline_value::subtract_from(current, m_last);
        write_driven(current);
    }
    m_last.clear();
}

SCKSpline::SplineType SCKSpline::spline_type() const
{
    const FloatSpline* spline = m_spline.get();
    if (dynamic_cast<const Linear*>(spline))
        return SplineType::linear;
    if (dynamic_cast<const Cubic*>(spline))
        return SplineType::cubic;
    if (dynamic_cast<const Curve*>(spline))
        return SplineType::curve;
    log_error("Unreachable point reached.", "sckspline", 93);
    return SplineType::linear;
}

void SCKSpline::set_spline_type(SplineType type)
{
    if (type == spline_type())
        return;
    FloatSpline* fresh = make_spline(type);
    if (!fresh) {
        log_error("Unreachable point reached.", "sckspline", 119);
        return;
    }
    FloatSpline::KeyMap keys;
    m_spline->get_keys(keys);
    m_spline = SharedPtr<FloatSpline>(fresh);
    fresh->set_keys(keys);
}

SCKSpline::FloatSpline& SCKSpline::writable_spline()
{
    if (m_spline.counter()->m_use_count > 1)
        m_spline = SharedPtr<FloatSpline>(rtti::clone(m_spline.get()));
    return *m_spline;
}

void SCKSpline::set_key(float time, const KeyArray& value)
{
    set_spline_key(writable_spline(), time, value.to_floats(), value.bend);
}

void SCKSpline::erase_key(float time)
{
    writable_spline().erase_key(time);
}

void SCKSpline::clear_keys()
{
    writable_spline().clear();
}

void SCKSpline::move_key(float from, float to)
{
    writable_spline().move_key(from, to);
}

void SCKSpline::key_times(std::set<float>& out) const
{
    FloatSpline::KeyMap keys;
    m_spline->get_keys(keys);
    for (const auto& key : keys)
        out.insert(key.first);
}

void SCKSpline::keys(std::map<float, KeyArray>& out) const
{
    out.clear();
    FloatSpline::KeyMap keys;
    m_spline->get_keys(keys);
    const auto* curve = dynamic_cast<const Curve*>(m_spline.get());
    for (const auto& [time, value] : keys) {
        KeyArray& array = out[time] = KeyArray::floats(value);
        array.bend = curve ? curve->keys().at(time).bend : -1.0f;
    }
}

int SCKSpline::has_keys() const
{
    return m_spline->empty() ? 0 : 1;
}

void SCKSpline::value_at(float time, KeyArray& out) const
{
    out = KeyArray::floats(m_spline->value(time));
}

float SCKSpline::nearest_key_time(float time) const
{
    return m_spline->empty() ? -1.0f : m_spline->nearest_time(time);
}

SharedPtr<SCProperty> SCKSpline::split_component(int n)
{
    auto* copy = static_cast<SCKSpline*>(split_copy(n));
    if (!copy)
        return {};
    SharedPtr<SCProperty> result(copy);
    FloatSpline* single = rtti::clone(m_spline.get());
    copy->m_spline = SharedPtr<FloatSpline>(single);
    FloatSpline::KeyMap keys;
    m_spline->get_keys(keys);
    const auto index = static_cast<std::uint32_t>(n);
    for (const auto& [time, value] : keys) {
        VectorD<float> element;
        element.resize(1);
        element[0] = index < value.size() ? value[index] : 0.0f;
        set_spline_key(*single, time, element, -1.0f);
    }
    return result;
}

}
