#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/platform/font.h"
#include "engine/res/res_handle.h"

namespace kq {

/// Alignment of a text block (vertical) or of its lines (horizontal).
enum class ArtAlign : std::int32_t
{
    begin = 0,   ///< top or left
    center = 1,
    end = 2,     ///< bottom or right
};

/// Id of a text sprite's text property.
inline constexpr std::int32_t text_property_text = 5000;

/// A sprite that shows a text in a bitmap font within its rectangle: the text's markers are
/// expanded through the dictionary and the sprite's data, the result is broken into lines
/// that fit the width, and the block and its lines are aligned. One quad a glyph.
class TextSprite : public Sprite
{
public:
    /// One line of a layout: [begin, end) of the display text and its width in pixels.
    struct Line
    {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::int32_t width = 0;

        friend bool operator==(const Line&, const Line&) = default;
    };

    /// A word found by `next_word`: [begin, end) and whether a newline was met instead.
    struct Word
    {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool newline = false;
    };

    TextSprite() = default;
    /// Copies the text, font, alignments, brilliance and display text; unprepared.
    TextSprite(const TextSprite& other);
    ~TextSprite() override;

    /// Writes version 0 (the sprite form first).
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// The sprite's keys, then "font", "text", "valign", "halign" and "brilliance".
    void read_skin(const SkinPath& path) override;
    /// Answers "Text" (5000), then the sprite's properties.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The sprite's handles, then the font.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;
    /// Breaks the display text into lines and lays out their glyphs.
    void build_geometry() override;
    /// The sprite's reaction; then the markers are expanded again at the next build.
    void on_data_changed() override;
    /// Binds the font's texture on the first stage, nothing on the second, and adds the glyphs.
    void draw(Artist& artist) override;

    /// Sets the source text (with markers).
    void set_text(const std::string& text);
    void set_font(const ResHandle<Font>& font);
    void set_alignment(ArtAlign valign, ArtAlign halign);
    void set_brilliance(float brilliance) { m_brilliance = brilliance; }
    /// The font, loaded when needed; null when there is none.
    Font* font() { return m_font.get(); }
    /// The text with its markers expanded (expanded once per change).
    const std::u16string& display_text();

    const std::string& text() const { return m_text; }
    ArtAlign valign() const { return m_valign; }
    ArtAlign halign() const { return m_halign; }
    float brilliance() const { return m_brilliance; }
    /// The number of lines of the last layout.
    std::int32_t line_count() const { return m_line_count; }

    /// The next word of the text from `from`: spaces before a word are skipped, a break mark
    /// ends the word it follows, a newline ends a word or is returned on its own.
    static Word next_word(const std::u16string& text, std::size_t from);
    /// The lines of the text for a width, measured in the font.
    static std::vector<Line> break_lines(const std::u16string& text, const Font& font, float width);

private:
    ResHandle<Font> m_font;
    std::string m_text;
    ArtAlign m_valign = ArtAlign::begin;
    ArtAlign m_halign = ArtAlign::begin;
    float m_brilliance = 0.0f;
    bool m_text_ready = false;
    std::u16string m_display_text;
    std::int32_t m_line_count = 0;
};

}

KQ_TYPE_NAME(kq::TextSprite, "class kq::TextSprite");
KQ_TYPE_NAME(kq::ArtAlign, "enum kq::ArtAlign");
