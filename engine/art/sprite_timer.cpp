#include "engine/art/sprite_timer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/art/skin_enum.h"
#include "engine/art/sprite_base.h"
#include "engine/art/sprite_logic.h"
#include "engine/base/bstream.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t timer_version = 3;
constexpr float pi = 3.1415927f;

// Times are stored in 32 bits; sums and differences are formed in 64 and brought back.
std::int32_t clamp_time(std::int64_t time)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(time, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

float apply_law(SpriteTimer::CoeffLaw law, float p)
{
    using Law = SpriteTimer::CoeffLaw;
    switch (law) {
    case Law::cos:
        return (std::cos((p + 1.0f) * pi) + 1.0f) * 0.5f;
    case Law::sin:
        return std::sin(p * pi / 2.0f);
    case Law::fullsin:
        return (std::sin(2.0f * pi * p) + 1.0f) * 0.5f;
    case Law::random:
        return random_float(1.0f);
    case Law::reverse:
        return 1.0f - p;
    case Law::linear_swing:
        return std::fabs(1.0f - std::fabs(0.5f - 2.0f * p));
    default:
        return p;
    }
}

}

SpriteTimer::SpriteTimer()
{
    reset();
}

void SpriteTimer::reset()
{
    m_run_length = -1;
    m_start = -1;
    m_current = -1;
    m_previous = -1;
    m_started = false;
    m_coefficient = 0.0f;
    if (m_parameter == -1 || !m_owner)
        return;
    const SpriteLogic* logic = m_owner->logic();
    if (!logic)
        return;
    const int index = logic->find_parameter(m_parameter);
    if (index >= 0)
        advance(logic->parameters()[static_cast<std::size_t>(index)].value);
}

void SpriteTimer::advance(std::int32_t now)
{
    if (!m_started) {
        const std::int64_t spread = m_period_spread;
        const std::int64_t length = m_period + random_int2(m_period_spread) - spread / 2;
        m_run_length = std::max(clamp_time(length), 1);
        if (m_parameter == -1) {
            std::int64_t start = now;
            if (m_random_start)
                start -= random_int2(m_period);
            m_start = clamp_time(start);
        } else {
            // A parameter's value is an absolute position on its own clock.
            m_start = 0;
        }
        m_previous = m_start;
        m_started = true;
    } else {
        m_previous = m_current;
    }
    m_current = now;
    m_coefficient = progress(local_time());
}

std::int32_t SpriteTimer::elapsed() const
{
    return m_started ? clamp_time(std::int64_t(m_current) - m_start) : 0;
}

std::int32_t SpriteTimer::step() const
{
    return m_started ? clamp_time(std::int64_t(m_current) - m_previous) : 0;
}

std::int32_t SpriteTimer::local_time() const
{
    if (!m_started)
        return 0;
    const std::int64_t t = std::int64_t(m_current) - m_start;
    const std::int64_t length = duration();
    if (length <= 0)
        return clamp_time(t);
    switch (m_cyclic) {
    case Cyclic::loop:
        return clamp_time(t % length);
    case Cyclic::pingpong:
        return clamp_time((t / length) % 2 == 0 ? t % length : length - t % length);
    default:
        return clamp_time(t);
    }
}

float SpriteTimer::progress(std::int32_t local_time) const
{
    const std::int64_t span = std::int64_t(duration()) - m_lead_in;
    // A cycle no longer than its lead-in is over as soon as it begins.
    float p = 1.0f;
    if (span > 0)
        p = static_cast<float>(std::int64_t(local_time) - m_lead_in) / static_cast<float>(span);
    if (p > 1.0f)
        p = 1.0f;
    else if (p < 0.0f)
        p = 0.0f;
    return apply_law(m_coeff_law, p);
}

float SpriteTimer::coefficient() const
{
    return m_started ? m_coefficient : progress(0);
}

bool SpriteTimer::is_finished() const
{
    return m_started && local_time() > m_run_length;
}

void SpriteTimer::store(BStream& stream) const
{
    write_u8(stream, timer_version);
    write_u32(stream, static_cast<std::uint32_t>(m_period));
    write_u32(stream, static_cast<std::uint32_t>(m_cyclic));
    write_u32(stream, static_cast<std::uint32_t>(m_coeff_law));
    write_u8(stream, m_random_start ? 1 : 0);
    write_u32(stream, static_cast<std::uint32_t>(m_period_spread));
    write_u32(stream, static_cast<std::uint32_t>(m_lead_in));
    write_u32(stream, static_cast<std::uint32_t>(m_parameter));
}

void SpriteTimer::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > timer_version)
        stream.error("unsupported version.");
    m_period = static_cast<std::int32_t>(read_u32(stream));
    m_cyclic = static_cast<Cyclic>(read_u32(stream));
    m_coeff_law = static_cast<CoeffLaw>(read_u32(stream));
    m_random_start = read_u8(stream) != 0;
    if (version >= 1)
        m_period_spread = static_cast<std::int32_t>(read_u32(stream));
    if (version >= 2)
        m_lead_in = static_cast<std::int32_t>(read_u32(stream));
    if (version >= 3)
        m_parameter = static_cast<std::int32_t>(read_u32(stream));
}

void SpriteTimer::read_skin(const SkinPath& path)
{
    read_skin_value(path + "parameter", &m_parameter);
    read_skin_value(path + "period", &m_period);
    read_skin_enum(path + "cyclic", &m_cyclic);
    read_skin_enum(path + "coeff_law", &m_coeff_law);
    read_skin_value(path + "random_start", &m_random_start);
    read_skin_value(path + "period_spread", &m_period_spread);
}

}
