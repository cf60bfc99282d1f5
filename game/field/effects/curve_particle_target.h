#pragma once

#include <cstdint>
#include <vector>

#include "engine/art/particle_target.h"
#include "engine/base/transform.h"
#include "engine/base/vector2.h"
#include "engine/res/skin_io.h"

namespace kq {

class TStream;

/// One cubic Bézier curve: p0 is its start, p3 its end, p1 and p2 its control points.
struct CurveSegment
{
    Vector2<float> p0, p1, p2, p3;

    /// The point at parameter t in [0, 1].
    Vector2<float> point(float t) const;
};

/// Reads a segment list: an opening token, then "(" p0 "," p1 "," p2 "," p3 ")" segments up to
/// "}", each point "(x, y)". Replaces `out`.
void read_curve_list(TStream& stream, std::vector<CurveSegment>& out);

/// Reads path operators up to the end of the text and appends their segments to `out`. Points
/// come first as "x y" (y flipped), then the operator: "m" moves, "l" draws a line, "c" a cubic
/// curve (either case). An operator that lacks its points is an error of the stream.
void read_curve_file(TStream& stream, std::vector<CurveSegment>& out);

/// The arc length of the segment, found by halving it until each piece is nearly flat (with a
/// limit on the halvings, so that huge or non-finite coordinates end too).
float curve_length(const CurveSegment& segment);

/// A goal for particles spread evenly, by arc length, along a set of curves read from a skin
/// node; an optional transform maps the curve points to goal points.
class CurveParticleTarget : public ParticleTarget, public SkinIO
{
public:
    /// How many keys span the whole length of the curves.
    static constexpr std::int32_t key_count = 20000;

    /// Reads "curves" (required), appends the segments of the curve file "ai_curves" (when the
    /// node is there) and measures the lengths.
    void read_skin(const SkinPath& path) override;

    /// Replaces the segments and measures them.
    void set_segments(std::vector<CurveSegment> segments);
    /// Maps every goal point through the matrix from now on.
    void set_transform(const Transform& transform);

    /// A key drawn uniformly in [0, key_count).
    std::int32_t next_index() override;
    /// The point at key / key_count of the whole length; (0, 0) without segments.
    void target_point(std::int32_t index, Vector2<float>& out) override;

    const std::vector<CurveSegment>& segments() const { return m_segments; }
    const std::vector<float>& lengths() const { return m_lengths; }
    float total_length() const { return m_total_length; }
    bool transform_in_use() const { return m_transform_in_use; }
    const Transform& transform() const { return m_transform; }

private:
    void measure();

    std::vector<CurveSegment> m_segments;
    std::vector<float> m_lengths;
    float m_total_length = 0.0f;
    bool m_transform_in_use = false;
    Transform m_transform;
};

}
