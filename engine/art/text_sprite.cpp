#include "engine/art/text_sprite.h"

#include <bit>

#include "engine/art/skin_enum.h"
#include "engine/base/bstream.h"
#include "engine/platform/artist.h"
#include "engine/res/dictionary.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t text_version = 0;

constexpr OwnProperty text_properties[] = {{text_property_text, "Text"}};

// Marks after which a line may break without a space (ideographic comma and full stop,
// full-width exclamation and question marks, ellipsis); each belongs to the word before it.
bool is_break_mark(char16_t c)
{
    return c == u'\u3001' || c == u'\u3002' || c == u'\uFF01' || c == u'\uFF1F' || c == u'\u2026';
}

std::int32_t width_of(const Font& font, const std::u16string& text, std::size_t begin, std::size_t end)
{
    return font.text_width(text.data() + begin, text.data() + end);
}

// The pen offset of a span of `length` within `room` for an alignment, truncated toward zero.
std::int32_t aligned(ArtAlign align, std::int32_t room, std::int32_t length)
{
    switch (align) {
    case ArtAlign::center:
        return (room - length) / 2;
    case ArtAlign::end:
        return room - length;
    default:
        return 0;
    }
}

}

TextSprite::TextSprite(const TextSprite& other)
    : Sprite(other),
      m_font(other.m_font),
      m_text(other.m_text),
      m_valign(other.m_valign),
      m_halign(other.m_halign),
      m_brilliance(other.m_brilliance),
      m_text_ready(other.m_text_ready),
      m_display_text(other.m_display_text)
{
}

TextSprite::~TextSprite()
{
    m_font.release();
}

void TextSprite::store(BStream& stream) const
{
    write_u8(stream, text_version);
    Sprite::store(stream);
    m_font.store(stream);
    write_binary(stream, m_text);
    write_u32(stream, static_cast<std::uint32_t>(m_valign));
    write_u32(stream, static_cast<std::uint32_t>(m_halign));
    write_u32(stream, std::bit_cast<std::uint32_t>(m_brilliance));
}

void TextSprite::load(BStream& stream)
{
    if (read_u8(stream) > text_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
    m_font.load(stream);
    read_binary(stream, m_text);
    m_valign = static_cast<ArtAlign>(read_u32(stream));
    m_halign = static_cast<ArtAlign>(read_u32(stream));
    m_brilliance = std::bit_cast<float>(read_u32(stream));
    m_text_ready = false;
    invalidate();
}

void TextSprite::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    m_font.read_name_from_skin(path + "font");
    read_skin_value(path + "text", &m_text);
    m_text_ready = false;
    read_skin_enum(path + "valign", &m_valign);
    read_skin_enum(path + "halign", &m_halign);
    read_skin_value(path + "brilliance", &m_brilliance);
    invalidate();
}

void TextSprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_own_property(
        text_properties, operation, id, data, passed_on, [](const OwnProperty&) { return type_name<std::string>(); },
        [](const OwnProperty&) { return 1; });
    if (passed_on)
        Sprite::property(operation, id, data);
    if (!entry)
        return;
    if (operation == property_get)
        *static_cast<std::string*>(data) = m_text;
    else
        set_text(*static_cast<const std::string*>(data));
}

void TextSprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    Sprite::visit_handles(visit);
    visit(m_font);
}

void TextSprite::set_text(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_text_ready = false;
    invalidate();
}

void TextSprite::set_font(const ResHandle<Font>& font)
{
    if (m_font == font)
        return;
    m_font.release();
    m_font.copy_from(font);
    invalidate();
}

void TextSprite::set_alignment(ArtAlign valign, ArtAlign halign)
{
    if (valign == m_valign && halign == m_halign)
        return;
    m_valign = valign;
    m_halign = halign;
    invalidate();
}

const std::u16string& TextSprite::display_text()
{
    if (!m_text_ready) {
        m_display_text = Dictionary::expand_macros(
            m_text, [this](const std::string& name, std::string& value) { query_data(name, value); });
        m_text_ready = true;
    }
    return m_display_text;
}

void TextSprite::on_data_changed()
{
    Sprite::on_data_changed();
    m_text_ready = false;
    invalidate();
}

TextSprite::Word TextSprite::next_word(const std::u16string& text, std::size_t from)
{
    bool started = false;
    Word word{from, from, false};
    for (std::size_t i = from; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') {
            if (started) {
                word.end = i;
                return word;
            }
            return {i + 1, i + 1, true};
        }
        if (c == u' ') {
            if (started) {
                word.end = i;
                return word;
            }
            continue;
        }
        if (is_break_mark(c)) {
            if (started) {
                word.end = i + 1;
                return word;
            }
            continue;
        }
        if (!started) {
            started = true;
            word.begin = i;
        }
    }
    if (!started)
        return {text.size(), text.size(), false};
    word.end = text.size();
    return word;
}

std::vector<TextSprite::Line> TextSprite::break_lines(const std::u16string& text, const Font& font, float width)
{
    std::vector<Line> lines;
    std::size_t position = 0;
    for (;;) {
        const Word word = next_word(text, position);
        std::int32_t w = 0;
        if (!word.newline) {
            if (word.begin == word.end)
                break;
            // The spaces since the previous word count on the same line.
            w = width_of(font, text, position, word.end);
        }
        if (lines.empty() || float(lines.back().width + w) > width || word.newline) {
            lines.push_back({word.begin, word.begin, 0});
            w = width_of(font, text, word.begin, word.end);
        }
        lines.back().end = word.end;
        lines.back().width += w;
        position = word.end;
    }
    return lines;
}

void TextSprite::build_geometry()
{
    Sprite::Quads& out = quads();
    out.clear();
    Font* loaded = m_font.get();
    const std::u16string& text = display_text();
    if (!loaded || text.empty())
        return;
    const std::vector<Line> lines = break_lines(text, *loaded, size().x);
    m_line_count = static_cast<std::int32_t>(lines.size());
    const auto room_w = static_cast<std::int32_t>(size().x);
    const auto room_h = static_cast<std::int32_t>(size().y);
    const auto x0 = static_cast<std::int32_t>(-pivot().x);
    const auto y0 = static_cast<std::int32_t>(-pivot().y);
    const std::int32_t line_height = loaded->height();
    std::int32_t pen_y = y0 + aligned(m_valign, room_h, line_height * m_line_count);
    std::vector<Quad> glyphs;
    for (const Line& line : lines) {
        const Vector2<int> pen{x0 + aligned(m_halign, room_w, line.width), pen_y};
        loaded->build_quads(glyphs, pen, text.data() + line.begin, text.data() + line.end, color(), m_brilliance);
        pen_y += line_height;
    }
    out.assign(glyphs.begin(), glyphs.end());
}

void TextSprite::draw(Artist& artist)
{
    artist.set_render_state(render_state());
    Font* loaded = m_font.get();
    if (!loaded)
        return;
    artist.set_texture(loaded->texture().get());
    artist.unbind_second_texture();
    ensure_prepared();
    for (const Quad& quad : quads())
        artist.add_quad(quad);
}

}
