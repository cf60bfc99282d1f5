#include "engine/art/lens_deformer.h"

#include <bit>
#include <cmath>

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"

namespace kq {

namespace {

constexpr std::uint8_t lens_version = 0;

constexpr OwnProperty lens_properties[] = {
    {LensDeformer::property_radius, "Lens Radius"},
    {LensDeformer::property_warp, "Lens Warp"},
};

}

void LensDeformer::store(BStream& stream) const
{
    write_u8(stream, lens_version);
    SpriteDeformer::store(stream);
    write_u32(stream, std::bit_cast<std::uint32_t>(m_radius));
    write_u32(stream, std::bit_cast<std::uint32_t>(m_warp));
}

void LensDeformer::load(BStream& stream)
{
    if (read_u8(stream) > lens_version)
        stream.error("unsupported version.");
    SpriteDeformer::load(stream);
    m_radius = std::bit_cast<float>(read_u32(stream));
    m_warp = std::bit_cast<float>(read_u32(stream));
}

void LensDeformer::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_float_property(lens_properties, operation, id, data, passed_on);
    if (passed_on)
        SpriteDeformer::property(operation, id, data);
    if (!entry)
        return;
    float& field = entry->id == property_radius ? m_radius : m_warp;
    auto* value = static_cast<float*>(data);
    if (operation == property_get) {
        value[0] = field;
        return;
    }
    field = value[0];
    if (Sprite* owner = owner_sprite())
        owner->invalidate();
}

void LensDeformer::deform_vertex(QuadVertex& vertex)
{
    Sprite* owner = prepared_owner();
    if (!owner)
        return;
    const Transform& world = owner->world_transform();
    const float cx = world.m[6];
    const float cy = world.m[7];
    const float dx = vertex.x - cx;
    const float dy = vertex.y - cy;
    if (dx == 0.0f && dy == 0.0f)
        return;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > m_radius)
        return;
    const float k = length / m_radius;
    const float scale = m_radius * (k + m_warp * (1.0f - k)) / length;
    vertex.x = cx + dx * scale;
    vertex.y = cy + dy * scale;
}

}
