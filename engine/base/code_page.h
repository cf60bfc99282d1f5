#pragma once

#include <string>

namespace kq {

// 8-bit text is converted through built-in tables of 256 units. The locale names ".1251"
// and ".1252" select the Windows-1251 and Windows-1252 tables; a null or any other name
// means the game's own code page, Windows-1252 (the host runtime knows no Windows code page).
// Bytes the published mappings leave undefined become U+0020.

/// The 16-bit unit of `byte` in the code page of `locale`.
char16_t widen_char(const char* locale, char byte);

/// One unit per byte of `text` in the game's code page; units from the first zero byte on are 0.
std::u16string widen_string(const std::string& text);

/// Sets `out` to one byte per unit of `text` in the code page of `locale` and returns true.
/// A unit with no byte in that page returns false; it and the bytes after it are then 0.
bool narrow_string(const char* locale, const std::u16string& text, std::string& out);

}
