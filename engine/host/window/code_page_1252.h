#pragma once

#include <string>

namespace kq::host {

// Host text (SDL, the clipboard) is UTF-8; the game's 8-bit text is Windows-1252.

/// The Windows-1252 byte of a Unicode code point; 0 when the page has none (and for U+0000).
unsigned char code_page_byte(char32_t code_point);

/// The code points of UTF-8 text, one per well-formed sequence; an ill-formed byte yields
/// U+FFFD and the decoding goes on with the next byte.
std::u32string decode_utf8(const std::string& text);

/// UTF-8 text as Windows-1252 bytes; characters the page lacks are dropped.
std::string utf8_to_code_page(const std::string& text);

/// Windows-1252 bytes up to the first zero byte as UTF-8; the five bytes the page leaves
/// undefined are dropped.
std::string code_page_to_utf8(const std::string& text);

}
