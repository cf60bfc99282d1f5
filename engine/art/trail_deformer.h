#pragma once

#include <cstdint>
#include <deque>

#include "engine/art/sprite_deformer.h"
#include "engine/base/transform.h"
#include "engine/base/type_name.h"

namespace kq {

/// Draws each vertex where the sprite was a while ago, the longer the farther the vertex lies
/// from the sprite's pivot, so that a moving sprite trails behind itself. It samples the
/// sprite's world transform as its timer runs and keeps the samples of one trail length.
class TrailDeformer : public SpriteDeformer
{
public:
    /// How a vertex's distance from the pivot is measured.
    enum Metric : std::int32_t
    {
        metric_length = 0,  ///< the Euclidean length
        metric_x = 1,       ///< the absolute x
        metric_y = 2,       ///< the absolute y
    };

    /// The sprite's world transform at a time of the timer (elapsed milliseconds).
    struct Sample
    {
        std::int32_t time;
        Transform world;
    };

    /// Writes version 1: the deformer form, then duration, interval and metric.
    void store(BStream& stream) const override;
    /// Reads versions 0 (without the metric) and 1.
    void load(BStream& stream) override;

    /// The base update; then samples the sprite's world transform (overwriting the newest
    /// sample within one interval) and rebuilds the sprite's geometry.
    void update(const TimeStamp& stamp) override;
    /// The base start; then forgets the samples and measures the sprite's farthest corner.
    void start() override;

    std::int32_t duration() const { return m_duration; }
    void set_duration(std::int32_t duration) { m_duration = duration; }
    std::int32_t interval() const { return m_interval; }
    void set_interval(std::int32_t interval) { m_interval = interval; }
    std::int32_t metric() const { return m_metric; }
    void set_metric(std::int32_t metric) { m_metric = metric; }
    const std::deque<Sample>& samples() const { return m_samples; }
    /// The distance of the farthest corner at the last start.
    float extent() const { return m_extent; }

protected:
    void deform_vertex(QuadVertex& vertex) override;

private:
    float measure(Vector2<float> p) const;
    std::int32_t lag_of(Vector2<float> p) const;

    std::int32_t m_duration = 500;
    std::int32_t m_interval = 10;
    std::int32_t m_metric = metric_length;
    std::deque<Sample> m_samples;
    float m_extent = 1.0f;
};

}

KQ_TYPE_NAME(kq::TrailDeformer, "class kq::TrailDeformer");
