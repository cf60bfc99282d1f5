#include "engine/platform/texture_atlas.h"

#include "engine/base/bstream.h"
#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

// The smallest binary page: marker, path length, flags, sprite count.
constexpr std::uint32_t min_page_bytes = 2 + 4 + 4 + 4;
// The smallest binary sprite: name length and four integers.
constexpr std::uint32_t min_sprite_bytes = 4 + 4 * 4;

// Takes "key" "=" and the value token after them.
std::string read_assignment(TStream& stream, const char* key)
{
    stream.expect(key);
    stream.expect("=");
    return stream.read_token();
}

int read_int_token(TStream& stream)
{
    return to_int(stream.read_token());
}

std::int32_t read_i32(Stream& stream)
{
    return static_cast<std::int32_t>(read_u32(stream));
}

}

void TextureAtlas::resolve()
{
    for (Page& page : m_pages)
        page.texture.load();
}

bool TextureAtlas::find(const std::string& name, ResHandle<Texture>& page, RectI& rect) const
{
    for (const Page& candidate : m_pages) {
        const auto found = candidate.sprites.find(name);
        if (found != candidate.sprites.end()) {
            page.release();
            page.copy_from(candidate.texture);
            rect = found->second;
            return true;
        }
    }
    return false;
}

bool TextureAtlas::read_text(TStream& stream)
{
    if (!stream.token_is("Texture"))
        return false;
    stream.skip_token();
    stream.read_token();  // the page's name, unused
    stream.expect("{");
    Page page;
    page.texture.set_key({FilePath(read_assignment(stream, "filename")).str(), texture_request_direct});
    read_assignment(stream, "resgroup");
    stream.expect("}");
    while (!stream.is_eof()) {
        stream.expect("Sprite");
        const std::string name = FilePath(stream.read_token()).str();
        stream.expect("{");
        read_assignment(stream, "texture");
        stream.expect("rect");
        stream.expect("=");
        RectI rect;
        rect.x = read_int_token(stream);
        stream.expect(",");
        rect.y = read_int_token(stream);
        stream.expect(",");
        rect.w = read_int_token(stream);
        stream.expect(",");
        rect.h = read_int_token(stream);
        read_assignment(stream, "resgroup");
        stream.expect("}");
        page.sprites[name] = rect;
    }
    m_pages.push_back(std::move(page));
    return true;
}

bool TextureAtlas::read_binary(Stream& stream)
{
    std::vector<Page> pages(read_count(stream, min_page_bytes));
    for (Page& page : pages) {
        read_u8(stream);
        read_u8(stream);
        ResKey key;
        kq::read_binary(stream, key.m_path);
        key.m_flags = read_i32(stream);
        page.texture.set_key(key);
        const std::uint32_t sprites = read_count(stream, min_sprite_bytes);
        for (std::uint32_t i = 0; i < sprites; ++i) {
            std::string name;
            kq::read_binary(stream, name);
            RectI rect;
            rect.x = read_i32(stream);
            rect.y = read_i32(stream);
            rect.w = read_i32(stream);
            rect.h = read_i32(stream);
            page.sprites[name] = rect;
        }
    }
    m_pages = std::move(pages);
    return true;
}

}
