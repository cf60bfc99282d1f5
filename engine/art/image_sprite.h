#pragma once

#include <cstdint>

#include "engine/art/sprite.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"

namespace kq {

/// Ids of an image sprite's properties (the skin constants `SP_*` carry the same numbers).
inline constexpr std::int32_t SP_TEXTURE = 2000;
inline constexpr std::int32_t SP_TBEGIN = 2010;
inline constexpr std::int32_t image_property_tsize = 2011;
inline constexpr std::int32_t image_property_secondary_texture = 2100;
inline constexpr std::int32_t SP_SEC_TBEGIN = 2110;
inline constexpr std::int32_t image_property_secondary_tsize = 2111;
inline constexpr std::int32_t image_property_secondary_alpha = 2120;
inline constexpr std::int32_t image_property_secondary_blend = 2121;

/// A sprite that shows a texture over its rectangle, laid on by a placement mode, optionally
/// with a second texture on the second stage and a mesh of grid cells. Textures load on
/// first use and are released with the sprite.
class ImageSprite : public Sprite
{
public:
    ImageSprite() = default;
    /// Copies every setting and shares both textures; unprepared.
    ImageSprite(const ImageSprite& other);
    ~ImageSprite() override;

    /// Writes version 3 (the sprite form first).
    void store(BStream& stream) const override;
    /// Reads versions 0 to 3; fields a version lacks keep their values.
    void load(BStream& stream) override;
    /// The sprite's keys, then "texture", "placement", "tbegin", "tsize" and the same four of
    /// the secondary texture, each required.
    void read_skin(const SkinPath& path) override;
    /// Answers the texture properties 2000 to 2121, then the sprite's.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The sprite's handles, then the primary and the secondary texture.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;
    /// One quad per grid cell, in row-major order, textured by the placements.
    void build_geometry() override;
    /// The sprite's preparation; projective placements then take their coordinates from the
    /// world positions.
    void prepare() override;
    /// Binds both textures (and the factor when the second stage blends) and adds the quads.
    void draw(Artist& artist) override;
    /// The sprite's test; else, with full clickability, whether the texture's pixel under the
    /// point is not fully transparent.
    bool hit_test(const Vector2<float>& point) override;

    /// Shows the pixel rectangle (begin, size) one texel per unit ("texel" placement).
    void set_source_rect(Vector2<int> begin, Vector2<int> size);
    /// `set_source_rect` with the current size.
    void set_tbegin(Vector2<int> begin) { set_source_rect(begin, m_tsize); }
    void set_texture(const ResHandle<Texture>& texture);
    void set_secondary_texture(const ResHandle<Texture>& texture);
    /// The colour the second stage blends by; changes no geometry.
    void set_texture_factor(const Color& factor);
    void set_placement(ArtTexturePlacement placement);
    void set_secondary_placement(ArtTexturePlacement placement);
    /// The mesh: columns and rows, each at least 1.
    void set_grid(Vector2<int> grid);

    ResHandle<Texture>& texture() { return m_texture; }
    ResHandle<Texture>& secondary_texture() { return m_secondary_texture; }
    ArtTexturePlacement placement() const { return m_placement; }
    ArtTexturePlacement secondary_placement() const { return m_secondary_placement; }
    Vector2<int> tbegin() const { return m_tbegin; }
    Vector2<int> tsize() const { return m_tsize; }
    Vector2<int> secondary_tbegin() const { return m_secondary_tbegin; }
    Vector2<int> secondary_tsize() const { return m_secondary_tsize; }
    const Color& texture_factor() const { return m_texture_factor; }
    Vector2<int> grid() const { return m_grid; }
    /// The texture rectangles (u, v, du, dv) of the last geometry build.
    const Rect& texture_rect() const { return m_rect; }
    const Rect& secondary_texture_rect() const { return m_secondary_rect; }

private:
    void set_int_pair(Vector2<int>& field, const float* values);

    ResHandle<Texture> m_texture;
    ArtTexturePlacement m_placement = ArtTexturePlacement::texel;
    Vector2<int> m_tbegin{0, 0};
    Vector2<int> m_tsize{1, 1};
    ResHandle<Texture> m_secondary_texture;
    ArtTexturePlacement m_secondary_placement = ArtTexturePlacement::texel;
    Vector2<int> m_secondary_tbegin{0, 0};
    Vector2<int> m_secondary_tsize{1, 1};
    Color m_texture_factor{1.0f, 1.0f, 1.0f, 1.0f};
    Vector2<int> m_grid{1, 1};
    Rect m_rect{0, 0, 0, 0};
    Rect m_secondary_rect{0, 0, 0, 0};
};

}

KQ_TYPE_NAME(kq::ImageSprite, "class kq::ImageSprite");
