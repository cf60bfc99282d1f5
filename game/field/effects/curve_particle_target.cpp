#include "game/field/effects/curve_particle_target.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_path.h"

namespace kq {

namespace {

// A piece whose control polygon is this much longer than its chord at most counts as flat.
constexpr float flatness = 0.05f;
// Halvings beyond this many take the chord: a curve thousands of screens wide is still measured
// to the flatness, and non-finite coordinates (never flat) stop here.
constexpr int max_halvings = 16;

float distance(Vector2<float> a, Vector2<float> b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

Vector2<float> midpoint(Vector2<float> a, Vector2<float> b)
{
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
}

float length_of(const CurveSegment& s, int halvings)
{
    const float chord = distance(s.p0, s.p3);
    const float polygon = distance(s.p0, s.p1) + distance(s.p1, s.p2) + distance(s.p2, s.p3);
    if (std::fabs(polygon - chord) < flatness || halvings >= max_halvings)
        return chord;
    // de Casteljau at t = 0.5
    const Vector2<float> a = midpoint(s.p0, s.p1);
    const Vector2<float> b = midpoint(s.p1, s.p2);
    const Vector2<float> c = midpoint(s.p2, s.p3);
    const Vector2<float> ab = midpoint(a, b);
    const Vector2<float> bc = midpoint(b, c);
    const Vector2<float> middle = midpoint(ab, bc);
    return length_of({s.p0, a, ab, middle}, halvings + 1) + length_of({middle, bc, c, s.p3}, halvings + 1);
}

Vector2<float> read_point(TStream& stream)
{
    Vector2<float> point;
    stream >> point;
    return point;
}

bool is_operator(const std::string& token)
{
    return token.size() == 1 && std::string("mMlLcC").find(token[0]) != std::string::npos;
}

// How many pending points the operator uses.
std::size_t points_used(char op)
{
    switch (op) {
    case 'l': case 'L': return 2;
    case 'c': case 'C': return 4;
    default: return 1;
    }
}

void apply_operator(TStream& stream, char op, std::vector<Vector2<float>>& pending,
                    std::vector<CurveSegment>& out)
{
    const std::size_t used = points_used(op);
    if (pending.size() < used)
        stream.error(std::string("curve operator '") + op + "' needs " + std::to_string(used) + " points, " +
                     std::to_string(pending.size()) + " given.");
    const auto first = pending.end() - static_cast<std::ptrdiff_t>(used);
    if (used == 2) {
        const Vector2<float> a = first[0];
        const Vector2<float> b = first[1];
        const Vector2<float> third{(b.x - a.x) / 3.0f, (b.y - a.y) / 3.0f};
        out.push_back({a, {a.x + third.x, a.y + third.y}, {b.x - third.x, b.y - third.y}, b});
    } else if (used == 4) {
        out.push_back({first[0], first[1], first[2], first[3]});
    }
    // Only the last point stays, as the current point.
    pending.erase(pending.begin(), pending.end() - 1);
}

}

Vector2<float> CurveSegment::point(float t) const
{
    const float u = 1.0f - t;
    const float a = u * u * u;
    const float b = 3.0f * u * u * t;
    const float c = 3.0f * u * t * t;
    const float d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

void read_curve_list(TStream& stream, std::vector<CurveSegment>& out)
{
    out.clear();
    stream.skip_token();
    while (!stream.token_is("}")) {
        CurveSegment segment;
        stream.expect("(");
        segment.p0 = read_point(stream);
        stream.expect(",");
        segment.p1 = read_point(stream);
        stream.expect(",");
        segment.p2 = read_point(stream);
        stream.expect(",");
        segment.p3 = read_point(stream);
        stream.expect(")");
        out.push_back(segment);
    }
    stream.skip_token();
}

void read_curve_file(TStream& stream, std::vector<CurveSegment>& out)
{
    std::vector<Vector2<float>> pending;
    while (!stream.is_eof()) {
        const std::string& token = stream.peek_token();
        if (is_operator(token)) {
            apply_operator(stream, token[0], pending, out);
            stream.advance();
            continue;
        }
        float x = 0.0f;
        float y = 0.0f;
        stream >> x >> y;
        pending.push_back({x, -y});
    }
}

float curve_length(const CurveSegment& segment)
{
    return length_of(segment, 0);
}

void CurveParticleTarget::read_skin(const SkinPath& path)
{
    std::vector<CurveSegment> segments;
    StringStream list(get_skin_text(path + "curves"));
    read_curve_list(list, segments);
    const SkinPath file_path = path + "ai_curves";
    if (require_skin_environment().try_find_node(file_path, true)) {
        StringStream file(get_skin_text(file_path));
        read_curve_file(file, segments);
    }
    set_segments(std::move(segments));
}

void CurveParticleTarget::set_segments(std::vector<CurveSegment> segments)
{
    m_segments = std::move(segments);
    measure();
}

void CurveParticleTarget::set_transform(const Transform& transform)
{
    m_transform = transform;
    m_transform_in_use = true;
}

std::int32_t CurveParticleTarget::next_index()
{
    return random_int2(key_count);
}

void CurveParticleTarget::target_point(std::int32_t index, Vector2<float>& out)
{
    out = {0.0f, 0.0f};
    float d = std::min(static_cast<float>(index) * m_total_length * 0.00005f, m_total_length);
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        if (d - m_lengths[i] >= 0.0f) {
            d -= m_lengths[i];
            continue;
        }
        const Vector2<float> point = m_segments[i].point(d / m_lengths[i]);
        out = m_transform_in_use ? m_transform.transform_point(point) : point;
        return;
    }
}

void CurveParticleTarget::measure()
{
    m_lengths.clear();
    m_total_length = 0.0f;
    for (const CurveSegment& segment : m_segments) {
        m_lengths.push_back(curve_length(segment));
        m_total_length += m_lengths.back();
    }
}

}
