#pragma once

#include "engine/art/sprite.h"

namespace kq {

/// An untextured sprite: its rectangle in its colour, filled or as an outline whose lines fall
/// on the rectangle's last pixels.
class FrameSprite : public Sprite
{
public:
    FrameSprite() = default;
    FrameSprite(const FrameSprite& other) = default;

    /// The sprite's keys, then "solid".
    void read_skin(const SkinPath& path) override;
    /// One quad: the rectangle when solid, else one pixel smaller to the right and below.
    void build_geometry() override;
    /// Unbinds both texture stages, then adds the quad or its four edges.
    void draw(Artist& artist) override;

    bool is_solid() const { return m_solid; }
    void set_solid(bool solid);

private:
    bool m_solid = false;
};

}

KQ_TYPE_NAME(kq::FrameSprite, "class kq::FrameSprite");
