#pragma once

#include <cstdint>
#include <string>

#include "engine/base/text_reader.h"

namespace kq {

/// Reads the engine's text data format from 16-bit little-endian units: words, quoted strings,
/// "[...]" blocks and one-character symbols, with "//" and "/*" comments skipped. Reader only.
class WStream : public TextReader<char16_t>
{
public:
    /// A reader over the buffer; a readable buffer has its first token scanned at once.
    explicit WStream(Buffer& buffer) : TextReader<char16_t>(buffer) {}

    /// Moves the look-ahead token into `token` (after the end check) and scans the next.
    void next_token(std::u16string& token) { take_token(token); }
    /// Whether the look-ahead token equals `text`; false at the end; consumes nothing.
    bool token_is(const std::u16string& text) { return !is_eof() && token_view() == text; }
};

}
