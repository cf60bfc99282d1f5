#include "engine/art/trail_deformer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/log.h"

namespace kq {

namespace {

constexpr std::uint8_t trail_version = 1;

std::int32_t read_i32(BStream& stream)
{
    return static_cast<std::int32_t>(read_u32(stream));
}

}

void TrailDeformer::store(BStream& stream) const
{
    write_u8(stream, trail_version);
    SpriteDeformer::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_duration));
    write_u32(stream, static_cast<std::uint32_t>(m_interval));
    write_u32(stream, static_cast<std::uint32_t>(m_metric));
}

void TrailDeformer::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > trail_version)
        stream.error("unsupported version.");
    SpriteDeformer::load(stream);
    m_duration = read_i32(stream);
    m_interval = read_i32(stream);
    if (version >= 1)
        m_metric = read_i32(stream);
}

void TrailDeformer::update(const TimeStamp& stamp)
{
    SpriteDeformer::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* owner = owner_sprite();
    if (!timer || !owner)
        return;
    const std::int32_t elapsed = timer->elapsed();
    const Transform& world = owner->world_transform();
    // Times are compared in 64 bits: settings come from files and may be extreme.
    if (!m_samples.empty() && std::int64_t(m_samples.back().time) >= std::int64_t(elapsed) - m_interval) {
        m_samples.back().world = world;
    } else {
        while (!m_samples.empty() && std::int64_t(m_samples.front().time) <= std::int64_t(elapsed) - m_duration)
            m_samples.pop_front();
        m_samples.push_back({elapsed, world});
    }
    owner->invalidate();
}

void TrailDeformer::start()
{
    SpriteDeformer::start();
    m_samples.clear();
    Sprite* owner = owner_sprite();
    if (!owner)
        return;
    const Vector2<float> size = owner->size();
    const Vector2<float> pivot = owner->pivot();
    const Vector2<float> corners[] = {{0, 0}, {size.x, 0}, {0, size.y}, {size.x, size.y}};
    m_extent = 0.0f;
    for (const Vector2<float>& corner : corners)
        m_extent = std::max(m_extent, measure({corner.x - pivot.x, corner.y - pivot.y}));
}

float TrailDeformer::measure(Vector2<float> p) const
{
    switch (m_metric) {
    case metric_length:
        return std::sqrt(p.x * p.x + p.y * p.y);
    case metric_x:
        return std::fabs(p.x);
    case metric_y:
        return std::fabs(p.y);
    default:
        log_error("Unimplemented code reached.", "traildeformer", 47);
        return 0.0f;
    }
}

std::int32_t TrailDeformer::lag_of(Vector2<float> p) const
{
    // A sprite without extent (no size, pivot at a corner) has no distance to spread the
    // trail over: its vertices follow at once.
    if (!(m_extent > 0.0f))
        return 0;
    const double lag = std::round(double(measure(p)) / double(m_extent) * double(m_duration));
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return std::isnan(lag) ? 0 : static_cast<std::int32_t>(std::clamp(lag, lowest, highest));
}

void TrailDeformer::deform_vertex(QuadVertex& vertex)
{
    const SpriteTimer* timer = find_timer();
    Sprite* owner = prepared_owner();
    if (!timer || !timer->is_started() || !owner || m_samples.empty())
        return;
    Transform inverse;
    owner->world_transform().inverse(inverse);
    const Vector2<float> p = inverse.transform_point({vertex.x, vertex.y});
    const std::int64_t wanted = std::int64_t(timer->elapsed()) - lag_of(p);
    const auto later = std::find_if(m_samples.begin(), m_samples.end(),
                                    [wanted](const Sample& sample) { return sample.time >= wanted; });
    if (later == m_samples.end())
        return;
    const Vector2<float> p1 = later->world.transform_point(p);
    if (later == m_samples.begin()) {
        vertex.x = p1.x;
        vertex.y = p1.y;
        return;
    }
    const Sample& earlier = *(later - 1);
    const Vector2<float> p0 = earlier.world.transform_point(p);
    const float k = float(double(wanted - earlier.time) / double(later->time - earlier.time));
    vertex.x = p0.x + (p1.x - p0.x) * k;
    vertex.y = p0.y + (p1.y - p0.y) * k;
}

}
