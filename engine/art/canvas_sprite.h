#pragma once

#include <cstdint>

#include "engine/art/image_sprite.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"

namespace kq {

/// An image sprite drawn as a frame of nine parts: four border widths cut the source region
/// into corners, edges and a centre; the corners keep their size on screen while the edges
/// and the centre stretch over the sprite's rectangle. Its children are drawn shifted into
/// the area inside the borders.
class CanvasSprite : public ImageSprite
{
public:
    /// The four borders and their four alternates (each a left, right, top and bottom).
    struct Borders
    {
        std::int32_t left = 0;
        std::int32_t right = 0;
        std::int32_t top = 0;
        std::int32_t bottom = 0;
    };

    CanvasSprite() = default;
    /// Copies the image settings, both border sets and the child offset.
    CanvasSprite(const CanvasSprite& other) = default;

    /// The image sprite's keys, then "left", "right", "top", "bottom", "left_def",
    /// "right_def", "top_def" and "bottom_def", each required.
    void read_skin(const SkinPath& path) override;
    /// Nine quads, the corners first, clockwise from the top left, the centre last.
    void build_geometry() override;
    /// The image sprite's drawing; then the children's frame is moved by the top-left
    /// border less the child offset, until `after_children`.
    void draw(Artist& artist) override;
    void after_children(Artist& artist) override;

    const Borders& borders() const { return m_borders; }
    void set_borders(const Borders& borders);
    /// Kept for content that names them; the frame itself does not use them.
    const Borders& alternate_borders() const { return m_alternate; }
    void set_alternate_borders(const Borders& borders) { m_alternate = borders; }
    Vector2<int> child_offset() const { return m_child_offset; }
    void set_child_offset(Vector2<int> offset) { m_child_offset = offset; }

private:
    Borders m_borders;
    Borders m_alternate;
    Vector2<int> m_child_offset{0, 0};
};

}

KQ_TYPE_NAME(kq::CanvasSprite, "class kq::CanvasSprite");
