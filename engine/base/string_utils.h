#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kq {

/// The parts joined in order up to (not including) the first null pointer; "" when the first is null.
std::string concat_strings(std::initializer_list<const char*> parts);

/// The strings joined in order up to the first null pointer: concat_strings("a", "b", nullptr).
template <class... Rest>
std::string concat_strings(const char* first, Rest... rest)
{
    return concat_strings({first, static_cast<const char*>(rest)...});
}

/// The integer in `text`: a last letter b/h/o (any case) selects radix 2/16/8, else 10; `strtol`
/// rules (leading blanks, sign, stops at the first non-digit, 0 without digits), saturated at
/// the 32-bit limits.
int to_int(const std::string& text);

/// True when the first `n` bytes of `a` and `b` are equal (true for n = 0).
bool bytes_equal(const void* a, const void* b, std::size_t n);

/// The text with every byte that is not printable ASCII shown as "\\x" and two hex digits
/// ("\\xFF"); tabs and line ends are kept. For texts that may echo bytes of a damaged file.
std::string printable_text(std::string_view text);

/// True when the zero-terminated `s` begins with the zero-terminated `prefix`.
bool starts_with(const char* s, const char* prefix);

}
