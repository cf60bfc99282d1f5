#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "engine/base/color.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/quad.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

class TStream;

/// One character's image in a font's texture and how it moves the pen.
struct FontGlyph
{
    std::int32_t x_offset = 0;  ///< of the image from the pen position
    std::int32_t y_offset = 0;  ///< down is positive
    std::int32_t x = 0;         ///< top-left pixel of the image in the texture
    std::int32_t y = 0;
    std::int32_t width = 0;     ///< size of the image, in the texture and on screen
    std::int32_t height = 0;
    std::int32_t advance = 0;   ///< pen advance before the font's spacing
    float u = 0.0f;             ///< texture coordinates of the image, once the font is resolved
    float v = 0.0f;
    float du = 0.0f;
    float dv = 0.0f;
};

/// A bitmap font: one texture of glyph images and the glyph of each UTF-16 character code.
/// Read from a description in one of two text layouts: the one headed "HGEFONT" and the
/// one whose first line is "info" (fixed keys in a fixed order).
class Font : public Resource
{
public:
    /// Reads a description from the stream's first token: true for either layout, false at
    /// the end or for any other first token. Syntax errors and bad numbers are the stream's
    /// errors, thrown with its place.
    bool parse(TStream& stream);
    /// Loads the texture and fills every glyph's texture coordinates; without a texture
    /// nothing is filled (measuring still works).
    void resolve() override;

    /// Whether the font draws this character.
    bool has_glyph(char16_t code) const { return m_glyphs.count(code) != 0; }
    /// The sum of advance plus spacing over the characters that have a glyph.
    std::int32_t text_width(const char16_t* begin, const char16_t* end) const;
    /// Appends one quad per character that has a glyph, laid out from the pen position, each
    /// vertex coloured by `brilliance_colour`; returns the pen after the last character.
    /// Characters without a glyph neither draw nor move the pen.
    Vector2<int> build_quads(std::vector<Quad>& quads, Vector2<int> pen, const char16_t* begin, const char16_t* end,
                             const Color& colour, float brilliance) const;

    /// The glyph sheet.
    ResHandle<Texture>& texture() { return m_texture; }
    /// The glyph of every character the font draws.
    const std::map<char16_t, FontGlyph>& glyphs() const { return m_glyphs; }
    /// Line height in pixels.
    std::int32_t height() const { return m_height; }
    /// Extra pixels after every glyph.
    std::int32_t spacing() const { return m_spacing; }

private:
    void parse_hge(TStream& stream);
    void parse_bmfont(TStream& stream);
    void set_texture_path(const std::string& path);

    ResHandle<Texture> m_texture;
    std::map<char16_t, FontGlyph> m_glyphs;
    std::int32_t m_height = 0;
    std::int32_t m_spacing = 0;
};

/// The colour of a text vertex at (x, y) in the layout's coordinates: the base colour, with
/// a brilliance other than 0 a shimmer fixed to the text added to red, green and blue (each
/// clamped to [0, 1]); alpha is the base alpha.
Color brilliance_colour(const Color& base, float brilliance, float x, float y);

}

KQ_TYPE_NAME(kq::Font, "class kq::Font");
