#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/base/rect.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

class Stream;
class TStream;

/// Named rectangles ("sprites") on one or more page textures, read from a text file (one
/// page) or a binary file (any number of pages). Pages load when the atlas is loaded.
class TextureAtlas : public Resource
{
public:
    /// One page: its texture and the sprites on it, in pixels.
    struct Page
    {
        ResHandle<Texture> texture;
        std::map<std::string, RectI> sprites;
    };

    /// Loads every page's texture, in page order; errors of loading pass through.
    void resolve() override;

    /// The first page, in page order, holding a sprite of exactly this name: `page` takes its
    /// handle and `rect` the sprite's rectangle, and the answer is true. False, outputs
    /// untouched, when no page has it.
    bool find(const std::string& name, ResHandle<Texture>& page, RectI& rect) const;

    /// Reads the text form: false (atlas unchanged) when it does not begin with "Texture";
    /// a malformed form is the stream's error. Appends the one page it describes.
    bool read_text(TStream& stream);
    /// Reads the binary form, replacing the pages; a short or damaged form is the stream's
    /// error "unexpected end of buffer.". True.
    bool read_binary(Stream& stream);

    /// The pages.
    const std::vector<Page>& pages() const { return m_pages; }

private:
    std::vector<Page> m_pages;
};

/// Request flag of a page texture: load the file itself, never through atlas rules.
inline constexpr std::int32_t texture_request_direct = 0x10;

}

KQ_TYPE_NAME(kq::TextureAtlas, "class kq::TextureAtlas");
KQ_TYPE_NAME(kq::ResHandle<kq::TextureAtlas>, "class kq::ResHandle<class kq::TextureAtlas>");
