#include "engine/art/morph_deformer.h"

#include <algorithm>
#include <bit>

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"

namespace kq {

namespace {

constexpr std::uint8_t morph_version = 0;
constexpr float match_distance_squared = 1e-6f;
// The bytes of one stored morph: four floats.
constexpr std::uint32_t morph_bytes = 16;

constexpr OwnProperty morph_properties[] = {
    {MorphDeformer::property_vertexes, "Morph Vertexes"},
};

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

// The point in the sprite's normalised coordinates.
Vector2<float> normalised(Sprite& owner, Vector2<float> world)
{
    Transform inverse;
    owner.world_transform().inverse(inverse);
    const Vector2<float> local = inverse.transform_point(world);
    return {(local.x + owner.pivot().x) / owner.size().x, (local.y + owner.pivot().y) / owner.size().y};
}

// The world point of a point in the sprite's normalised coordinates.
Vector2<float> from_normalised(Sprite& owner, Vector2<float> n)
{
    const Vector2<float> local{n.x * owner.size().x - owner.pivot().x, n.y * owner.size().y - owner.pivot().y};
    return owner.world_transform().transform_point(local);
}

}

void MorphDeformer::store(BStream& stream) const
{
    write_u8(stream, morph_version);
    SpriteDeformer::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_morphs.size()));
    for (const Morph& morph : m_morphs) {
        write_f32(stream, morph.from.x);
        write_f32(stream, morph.from.y);
        write_f32(stream, morph.to.x);
        write_f32(stream, morph.to.y);
    }
}

void MorphDeformer::load(BStream& stream)
{
    if (read_u8(stream) > morph_version)
        stream.error("unsupported version.");
    SpriteDeformer::load(stream);
    std::vector<Morph> morphs(read_count(stream, morph_bytes));
    for (Morph& morph : morphs) {
        morph.from.x = read_f32(stream);
        morph.from.y = read_f32(stream);
        morph.to.x = read_f32(stream);
        morph.to.y = read_f32(stream);
    }
    m_morphs = std::move(morphs);
}

void MorphDeformer::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_own_property(
        morph_properties, operation, id, data, passed_on, [](const OwnProperty&) { return type_name<float>(); },
        [this](const OwnProperty&) { return static_cast<std::int32_t>(m_morphs.size() * 2); });
    if (passed_on)
        SpriteDeformer::property(operation, id, data);
    if (!entry)
        return;
    auto* values = static_cast<float*>(data);
    for (std::size_t i = 0; i < m_morphs.size(); ++i) {
        Vector2<float>& to = m_morphs[i].to;
        if (operation == property_get) {
            values[2 * i] = to.x;
            values[2 * i + 1] = to.y;
        } else {
            to = {values[2 * i], values[2 * i + 1]};
        }
    }
    if (operation == property_set)
        if (Sprite* owner = owner_sprite())
            owner->invalidate();
}

void MorphDeformer::on_parent_changed()
{
    SpriteDeformer::on_parent_changed();
    if (!m_morphs.empty())
        return;
    if (Sprite* owner = owner_sprite())
        collect_vertices(*owner);
}

void MorphDeformer::collect_vertices(Sprite& owner)
{
    std::vector<Vector2<float>> points;
    for (const Quad& quad : owner.world_quads())
        for (const QuadVertex& vertex : quad.v)
            points.push_back({vertex.x, vertex.y});
    std::sort(points.begin(), points.end(), [](const Vector2<float>& a, const Vector2<float>& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    for (const Vector2<float>& point : points) {
        const Vector2<float> n = normalised(owner, point);
        m_morphs.push_back({n, n});
    }
}

void MorphDeformer::deform_vertex(QuadVertex& vertex)
{
    Sprite* owner = prepared_owner();
    if (!owner || m_morphs.empty())
        return;
    const Vector2<float> n = normalised(*owner, {vertex.x, vertex.y});
    for (const Morph& morph : m_morphs) {
        const float dx = morph.from.x - n.x;
        const float dy = morph.from.y - n.y;
        if (dx * dx + dy * dy < match_distance_squared) {
            const Vector2<float> moved = from_normalised(*owner, morph.to);
            vertex.x = moved.x;
            vertex.y = moved.y;
        }
    }
}

}
