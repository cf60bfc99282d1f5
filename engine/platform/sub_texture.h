#pragma once

#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"

namespace kq {

/// A rectangle of an atlas page texture. Every coordinate it gives is in the coordinates of
/// its page, so quads drawn with it sample the right part of the page. The page loads on first
/// use; while it cannot be loaded the sub-texture draws nothing, reads opaque black pixels and
/// maps every position to (0, 0). It keeps its page alive while it holds it.
class SubTexture : public Texture
{
public:
    /// No page; rectangle (0, 0, 1, 1).
    SubTexture() = default;

    /// Takes the page (sharing its loaded texture) and the rectangle on it; the sizes become
    /// the rectangle's.
    void assign(const ResHandle<Texture>& page, const RectI& rect);

    /// The page's handle; 0 without a page.
    TextureHandle handle() const override;
    /// Unsupported on a part of a page: logged, nothing else.
    void mix(const Texture& alpha) override;
    /// The page's pixel at p relative to the rectangle; opaque black without a page.
    std::uint32_t pixel(const Vector2<int>& p) const override;
    /// The page's pixel at uv (already page coordinates); opaque black without a page.
    std::uint32_t pixel_at(const Vector2<float>& uv) const override;
    /// The page coordinates of p relative to the rectangle; (0, 0) without a page.
    Vector2<float> to_uv(const Vector2<float>& p) const override;
    /// The page coordinates of r relative to the rectangle; empty without a page.
    Rect rect_to_uv(const RectI& r) const override;
    /// As `Texture::coordinates`, in page coordinates: tile draws as texel, full gives the
    /// whole rectangle; `out` is left alone without a page.
    void coordinates(Rect& out, const Vector2<float>& size, ArtTexturePlacement placement,
                     const Vector2<int>& a, const Vector2<int>& b) const override;

    /// The handle of the page.
    const ResHandle<Texture>& page() const { return m_page; }
    /// The rectangle on the page, in pixels.
    const RectI& rect() const { return m_rect; }

private:
    // The page texture, loading it first; null when it cannot be loaded.
    Texture* page_texture() const;

    // Loading on demand changes only what the handle holds, not what it names.
    mutable ResHandle<Texture> m_page;
    RectI m_rect{0, 0, 1, 1};
};

}

KQ_TYPE_NAME(kq::SubTexture, "class kq::SubTexture");
