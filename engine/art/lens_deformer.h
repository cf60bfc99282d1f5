#pragma once

#include <cstdint>

#include "engine/art/sprite_deformer.h"
#include "engine/base/type_name.h"

namespace kq {

/// Pushes the points inside a circle around the sprite's world origin towards the rim (or,
/// with a negative warp, towards the centre); points outside the circle stay.
class LensDeformer : public SpriteDeformer
{
public:
    static constexpr std::int32_t property_radius = 22000;
    static constexpr std::int32_t property_warp = 22001;

    /// Writes version 0: the deformer form, then radius and warp.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// "Lens Radius" and "Lens Warp"; setting either rebuilds the sprite's geometry.
    void property(std::int32_t operation, std::int32_t id, void* data) override;

    float radius() const { return m_radius; }
    void set_radius(float radius) { m_radius = radius; }
    float warp() const { return m_warp; }
    void set_warp(float warp) { m_warp = warp; }

protected:
    void deform_vertex(QuadVertex& vertex) override;

private:
    float m_radius = 100.0f;
    float m_warp = 0.5f;
};

}

KQ_TYPE_NAME(kq::LensDeformer, "class kq::LensDeformer");
