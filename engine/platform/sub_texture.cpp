#include "engine/platform/sub_texture.h"

#include "engine/base/exception.h"
#include "engine/base/log.h"

namespace kq {

namespace {

constexpr std::uint32_t opaque_black = 0xFF000000;

}

void SubTexture::assign(const ResHandle<Texture>& page, const RectI& rect)
{
    m_page.copy_from(page);
    m_rect = rect;
    set_size(rect.w, rect.h, rect.w, rect.h);
}

TextureHandle SubTexture::handle() const
{
    const Texture* page = page_texture();
    return page ? page->handle() : 0;
}

void SubTexture::mix(const Texture&)
{
    log_error("Unimplemented code reached.", source_file_name(__FILE__), __LINE__);
}

std::uint32_t SubTexture::pixel(const Vector2<int>& p) const
{
    const Texture* page = page_texture();
    return page ? page->pixel({p.x + m_rect.x, p.y + m_rect.y}) : opaque_black;
}

std::uint32_t SubTexture::pixel_at(const Vector2<float>& uv) const
{
    const Texture* page = page_texture();
    return page ? page->pixel_at(uv) : opaque_black;
}

Vector2<float> SubTexture::to_uv(const Vector2<float>& p) const
{
    const Texture* page = page_texture();
    return page ? page->to_uv({p.x + float(m_rect.x), p.y + float(m_rect.y)}) : Vector2<float>{};
}

Rect SubTexture::rect_to_uv(const RectI& r) const
{
    const Texture* page = page_texture();
    return page ? page->rect_to_uv({r.x + m_rect.x, r.y + m_rect.y, r.w, r.h}) : Rect{};
}

void SubTexture::coordinates(Rect& out, const Vector2<float>& size, ArtTexturePlacement placement,
                             const Vector2<int>& a, const Vector2<int>& b) const
{
    const Texture* page = page_texture();
    if (!page)
        return;
    const Vector2<int> at{a.x + m_rect.x, a.y + m_rect.y};
    switch (placement) {
    case ArtTexturePlacement::texel:
    case ArtTexturePlacement::tile:
        // A part of a page cannot repeat by wrapping: tiling draws one texel per unit.
        page->coordinates(out, size, ArtTexturePlacement::texel, at, {1, 1});
        break;
    case ArtTexturePlacement::full:
        out = page->rect_to_uv(m_rect);
        break;
    case ArtTexturePlacement::stretch:
        page->coordinates(out, size, ArtTexturePlacement::stretch, at, b);
        break;
    default:
        break;
    }
}

Texture* SubTexture::page_texture() const
{
    // A page that cannot be loaded was reported by the loading itself; drawing goes on.
    try {
        return m_page.get();
    } catch (const Exception&) {
        return nullptr;
    }
}

}
