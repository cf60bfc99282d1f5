#pragma once

#include <cstdint>

#include "engine/base/rect.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

/// The name of a texture on the graphics device; 0 stands for no texture.
using TextureHandle = std::uintptr_t;

/// How `Texture::coordinates` maps a texture onto a drawn rectangle.
enum class ArtTexturePlacement : std::int32_t {
    texel = 0,       ///< one texel per unit, starting at a pixel
    full = 1,        ///< the whole image, whatever the drawn size
    stretch = 2,     ///< a pixel rectangle stretched over the drawn size
    tile = 3,        ///< the whole texture repeated every given number of units
    projective = 4,  ///< coordinates made elsewhere: left as they are
};

/// An image on the graphics device as the rest of the engine sees it: a device handle that
/// the artist binds, a pixel size, and the mapping of pixel positions to texture coordinates.
/// The device texture may be larger than the image it holds (width against image_width).
class Texture : public Resource
{
public:
    /// The device texture to bind; 0 when there is none.
    virtual TextureHandle handle() const = 0;
    /// Takes this texture's alpha channel from the blue channel of `alpha`.
    virtual void mix(const Texture& alpha) = 0;
    /// The pixel word (bytes blue, green, red, alpha in memory) at a pixel position.
    virtual std::uint32_t pixel(const Vector2<int>& p) const = 0;
    /// The pixel word at texture coordinates.
    virtual std::uint32_t pixel_at(const Vector2<float>& uv) const = 0;

    /// The texture coordinates of a pixel position.
    virtual Vector2<float> to_uv(const Vector2<float>& p) const;
    /// The texture-coordinate rectangle of a pixel rectangle.
    virtual Rect rect_to_uv(const RectI& r) const;
    /// The texture-coordinate rectangle (u, v, du, dv) for drawing a quad of `size` with this
    /// placement; `a` is a pixel position and `b` a pixel size or tile size as the placement
    /// reads them. Projective placement leaves `out` as it is.
    virtual void coordinates(Rect& out, const Vector2<float>& size, ArtTexturePlacement placement,
                             const Vector2<int>& a, const Vector2<int>& b) const;

    /// Width of the device texture in pixels (the divisor of horizontal coordinates).
    int width() const { return m_width; }
    /// Height of the device texture in pixels.
    int height() const { return m_height; }
    /// Width of the image it shows.
    int image_width() const { return m_image_width; }
    /// Height of the image it shows.
    int image_height() const { return m_image_height; }

protected:
    /// Sets the device texture's size and the size of the image it shows.
    void set_size(int width, int height, int image_width, int image_height);

private:
    int m_width = 0;
    int m_height = 0;
    int m_image_width = 0;
    int m_image_height = 0;
};

}

KQ_TYPE_NAME(kq::Texture, "class kq::Texture");
KQ_TYPE_NAME(kq::ArtTexturePlacement, "enum kq::ArtTexturePlacement");
KQ_TYPE_NAME(kq::ResHandle<kq::Texture>, "class kq::ResHandle<class kq::Texture>");
