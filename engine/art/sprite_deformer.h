#pragma once

#include "engine/art/sprite_base.h"
#include "engine/base/type_name.h"
#include "engine/platform/quad.h"

namespace kq {

/// A tree member that bends the world-space vertices of the sprite it is attached to. The
/// sprite hands it every vertex it prepares; this base leaves them as they are.
class SpriteDeformer : public SpriteBase
{
public:
    /// Writes version 0: the base form.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;

    /// Bends the vertex when the deformer's own state bits match; otherwise nothing.
    virtual void deform(QuadVertex& vertex)
    {
        if (own_bits_match())
            deform_vertex(vertex);
    }

protected:
    /// Changes the x and y of one world-space vertex; nothing here.
    virtual void deform_vertex(QuadVertex&) {}
    /// The sprite the deformer bends, prepared so that its world transform is current; null
    /// when the deformer is not attached to a sprite.
    Sprite* prepared_owner();
};

}

KQ_TYPE_NAME(kq::SpriteDeformer, "class kq::SpriteDeformer");
