#include "engine/platform/font.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/base/code_page.h"
#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

// Whether `token` is an integer as `to_int` reads it: an optional sign, then digits of the
// radix its last letter selects (b, h, o; decimal without one).
bool is_integer(const std::string& token)
{
    std::size_t begin = !token.empty() && (token[0] == '-' || token[0] == '+') ? 1 : 0;
    std::size_t end = token.size();
    int radix = 10;
    if (end > begin) {
        switch (std::tolower(static_cast<unsigned char>(token.back()))) {
        case 'b': radix = 2; break;
        case 'h': radix = 16; break;
        case 'o': radix = 8; break;
        default: break;
        }
    }
    if (radix != 10)
        --end;
    if (end <= begin)
        return false;
    for (std::size_t i = begin; i < end; ++i) {
        const int c = std::tolower(static_cast<unsigned char>(token[i]));
        const int digit = std::isdigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : radix;
        if (digit >= radix)
            return false;
    }
    return true;
}

// Metrics beyond this many pixels are damage, and refusing them keeps every sum of a few
// of them inside 32 bits.
constexpr std::int32_t max_metric = 1 << 20;

// The next token as an integer; anything else is the stream's error at its place.
std::int32_t read_int(TStream& stream)
{
    const std::string token = stream.peek_token();
    if (!is_integer(token))
        stream.error("invalid number '" + token + "'.");
    if (std::abs(static_cast<std::int64_t>(to_int(token))) > max_metric)
        stream.error("number out of range '" + token + "'.");
    stream.skip_token();
    return to_int(token);
}

void skip_tokens(TStream& stream, int count)
{
    for (int i = 0; i < count; ++i)
        stream.skip_token();
}

// The 8-bit code of an HGE character token: a single character stands for itself, an empty
// token for 0, a longer one is a hexadecimal number of which the low byte counts.
std::uint8_t read_hge_code(TStream& stream)
{
    const std::string token = stream.peek_token();
    std::uint8_t code = 0;
    if (token.size() == 1) {
        code = static_cast<std::uint8_t>(token[0]);
    } else if (!token.empty()) {
        if (!is_integer(token + "h"))
            stream.error("invalid number '" + token + "'.");
        code = static_cast<std::uint8_t>(std::strtoull(token.c_str(), nullptr, 16));
    }
    stream.skip_token();
    return code;
}

// A pen position or width summed over any length of text, held within 32 bits.
std::int32_t clamp_to_int(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

struct HgeChar
{
    std::int32_t x, y, width, height, a, c;
};

// The shimmer of one channel: phase offsets dy, dx in pixels; k is 1 / 1.1.
float shimmer(float brilliance, float x, float y, float dx, float dy)
{
    constexpr float k = 0.9090909f;
    const float wave = std::cos(k * (y - dy));
    return brilliance * wave * wave * std::sin(k * (x + dx));
}

}

bool Font::parse(TStream& stream)
{
    if (stream.is_eof())
        return false;
    if (stream.token_is("HGEFONT")) {
        parse_hge(stream);
        return true;
    }
    if (!stream.token_is("info"))
        return false;
    parse_bmfont(stream);
    return true;
}

void Font::set_texture_path(const std::string& path)
{
    m_texture.set_path(FilePath(path).str());
}

void Font::parse_hge(TStream& stream)
{
    stream.skip_token();  // HGEFONT
    std::string locale;
    const bool has_locale = stream.token_is("Locale");
    if (has_locale) {
        stream.skip_token();
        locale = stream.read_token();
    }
    stream.expect("Bitmap");
    stream.expect("=");
    set_texture_path(stream.read_token());

    std::map<std::uint8_t, HgeChar> chars;
    while (stream.token_is("Char")) {
        stream.skip_token();
        stream.expect("=");
        const std::uint8_t code = read_hge_code(stream);
        std::int32_t values[6];
        for (std::int32_t& value : values) {
            stream.expect(",");
            value = read_int(stream);
        }
        chars[code] = {values[0], values[1], values[2], values[3], values[4], values[5]};
    }

    std::int32_t top = 0, bottom = 0, left = 0, right = 0;
    if (stream.token_is("Padding")) {
        stream.skip_token();
        stream.expect("=");
        top = read_int(stream);
        stream.expect(",");
        bottom = read_int(stream);
        stream.expect(",");
        left = read_int(stream);
        stream.expect(",");
        right = read_int(stream);
    }

    m_glyphs.clear();
    m_height = 0;
    for (const auto& [code, ch] : chars) {
        const char16_t unit = widen_char(has_locale ? locale.c_str() : nullptr, static_cast<char>(code));
        FontGlyph& glyph = m_glyphs[unit];
        glyph = FontGlyph();
        glyph.x_offset = ch.a - left;
        glyph.y_offset = -top;
        glyph.x = ch.x;
        glyph.y = ch.y;
        glyph.width = ch.width;
        glyph.height = ch.height;
        glyph.advance = ch.a + ch.width + ch.c - left - right;
        m_height = std::max(m_height, ch.height);
    }
    m_height = std::max(0, m_height - (top + bottom));
}

void Font::parse_bmfont(TStream& stream)
{
    // The layout's lines are read by position, not by key: "info" and its keys up to the
    // spacing values, then the outline, the common line up to its line height, and so on.
    skip_tokens(stream, 39);
    const std::int32_t spacing_x = read_int(stream);
    stream.expect(",");
    const std::int32_t spacing_y = read_int(stream);
    m_spacing = spacing_x;
    skip_tokens(stream, 6);
    m_height = read_int(stream) + spacing_y;
    skip_tokens(stream, 33);
    set_texture_path(stream.read_token());
    skip_tokens(stream, 4);

    m_glyphs.clear();
    while (stream.token_is("char")) {
        stream.skip_token();
        stream.expect("id");
        stream.expect("=");
        FontGlyph glyph;
        const std::string id = stream.read_token();
        if (!is_integer(id))
            stream.error("invalid number '" + id + "'.");
        const char16_t code = static_cast<char16_t>(to_int(id));
        const std::pair<const char*, std::int32_t*> fields[] = {
            {"x", &glyph.x},
            {"y", &glyph.y},
            {"width", &glyph.width},
            {"height", &glyph.height},
            {"xoffset", &glyph.x_offset},
            {"yoffset", &glyph.y_offset},
            {"xadvance", &glyph.advance},
        };
        for (const auto& [key, value] : fields) {
            stream.expect(key);
            stream.expect("=");
            *value = read_int(stream);
        }
        skip_tokens(stream, 6);  // page and channel
        m_glyphs[code] = glyph;
    }
}

void Font::resolve()
{
    const Texture* texture = m_texture.get();
    if (!texture)
        return;
    for (auto& [code, glyph] : m_glyphs) {
        const Rect uv = texture->rect_to_uv({glyph.x, glyph.y, glyph.width, glyph.height});
        glyph.u = uv.x;
        glyph.v = uv.y;
        glyph.du = uv.w;
        glyph.dv = uv.h;
    }
}

std::int32_t Font::text_width(const char16_t* begin, const char16_t* end) const
{
    std::int64_t width = 0;
    for (const char16_t* c = begin; c != end; ++c) {
        const auto found = m_glyphs.find(*c);
        if (found != m_glyphs.end())
            width += found->second.advance + m_spacing;
    }
    return clamp_to_int(width);
}

Vector2<int> Font::build_quads(std::vector<Quad>& quads, Vector2<int> pen, const char16_t* begin,
                               const char16_t* end, const Color& colour, float brilliance) const
{
    for (const char16_t* c = begin; c != end; ++c) {
        const auto found = m_glyphs.find(*c);
        if (found == m_glyphs.end())
            continue;
        const FontGlyph& g = found->second;
        const float left = static_cast<float>(std::int64_t(pen.x) + g.x_offset);
        const float top = static_cast<float>(std::int64_t(pen.y) + g.y_offset);
        const float right = left + static_cast<float>(g.width);
        const float bottom = top + static_cast<float>(g.height);
        const float corners[4][4] = {
            {left, top, g.u, g.v},
            {right, top, g.u + g.du, g.v},
            {right, bottom, g.u + g.du, g.v + g.dv},
            {left, bottom, g.u, g.v + g.dv},
        };
        Quad& quad = quads.emplace_back();
        for (int i = 0; i < 4; ++i) {
            QuadVertex& vertex = quad.v[i];
            vertex.x = corners[i][0];
            vertex.y = corners[i][1];
            vertex.tu = corners[i][2];
            vertex.tv = corners[i][3];
            const Color shade = brilliance_colour(colour, brilliance, vertex.x, vertex.y);
            vertex.r = shade.r;
            vertex.g = shade.g;
            vertex.b = shade.b;
            vertex.a = shade.a;
        }
        pen.x = clamp_to_int(std::int64_t(pen.x) + g.advance + m_spacing);
    }
    return pen;
}

Color brilliance_colour(const Color& base, float brilliance, float x, float y)
{
    if (std::fabs(brilliance) < std::numeric_limits<float>::epsilon())
        return base;
    return {std::clamp(base.r + shimmer(brilliance, x, y, 0.0f, 0.0f), 0.0f, 1.0f),
            std::clamp(base.g + shimmer(brilliance, x, y, 57.0f, 41.0f), 0.0f, 1.0f),
            std::clamp(base.b + shimmer(brilliance, x, y, 132.0f, 143.0f), 0.0f, 1.0f), base.a};
}

}
