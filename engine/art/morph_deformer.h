#pragma once

#include <cstdint>
#include <vector>

#include "engine/art/sprite_deformer.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"

namespace kq {

/// Moves chosen vertices of the sprite to new places. Both ends of a morph are in the sprite's
/// normalised coordinates, where (0, 0) and (1, 1) are opposite corners of its rectangle.
class MorphDeformer : public SpriteDeformer
{
public:
    static constexpr std::int32_t property_vertexes = 21000;

    /// A vertex found at `from` is drawn at `to`.
    struct Morph
    {
        Vector2<float> from;
        Vector2<float> to;
    };

    /// Writes version 0: the deformer form, then the morphs.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// "Morph Vertexes": the `to` points as x, y pairs in morph order; setting them rebuilds
    /// the sprite's geometry.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The base behaviour; then, while there are no morphs, one morph that keeps it in place
    /// for each distinct vertex of the sprite, ordered by y and then by x.
    void on_parent_changed() override;

    const std::vector<Morph>& morphs() const { return m_morphs; }
    std::vector<Morph>& morphs() { return m_morphs; }

protected:
    void deform_vertex(QuadVertex& vertex) override;

private:
    void collect_vertices(Sprite& owner);

    std::vector<Morph> m_morphs;
};

}

KQ_TYPE_NAME(kq::MorphDeformer, "class kq::MorphDeformer");
