#include "engine/base/string_utils.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace kq {

std::string concat_strings(std::initializer_list<const char*> parts)
{
    std::string joined;
    for (const char* part : parts) {
        if (!part)
            break;
        joined += part;
    }
    return joined;
}

namespace {

int radix_of(char last)
{
    switch (last) {
    case 'b': case 'B': return 2;
    case 'h': case 'H': return 16;
    case 'o': case 'O': return 8;
    default: return 10;
    }
}

}

int to_int(const std::string& text)
{
    if (text.empty())
        return 0;
    const long value = std::strtol(text.c_str(), nullptr, radix_of(text.back()));
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string printable_text(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && byte < 0x7F) || c == '\t' || c == '\r' || c == '\n') {
            shown += c;
            continue;
        }
        shown += "\\x";
        shown += digits[byte >> 4];
        shown += digits[byte & 0x0F];
    }
    return shown;
}

bool bytes_equal(const void* a, const void* b, std::size_t n)
{
    return n == 0 || std::memcmp(a, b, n) == 0;
}

bool starts_with(const char* s, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    return std::strlen(s) >= length && bytes_equal(s, prefix, length);
}

}
