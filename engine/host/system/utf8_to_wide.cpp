#include "engine/host/system/utf8_to_wide.h"

namespace kq::host {
namespace {

constexpr char32_t replacement = 0xFFFD;

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The allowed range of the second byte depends on the lead byte: it excludes overlong forms,
// encoded surrogates and code points above U+10FFFF.
bool second_byte_fits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return is_continuation(second);
    }
}

int sequence_length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Decodes the code point at pos and moves pos past it, or past the bad subpart.
char32_t decode_one(const std::string& text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    const int length = sequence_length(lead);
    if (length == 1)
        return lead;
    if (length == 0)
        return replacement;
    char32_t code = lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        if (pos >= text.size())
            return replacement;
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (i == 1 ? !second_byte_fits(lead, byte) : !is_continuation(byte))
            return replacement;
        code = (code << 6) | (byte & 0x3F);
        ++pos;
    }
    return code;
}

void append_utf16(std::u16string& out, char32_t code)
{
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

}

std::u16string utf8_to_wide(const std::string& text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size())
        append_utf16(out, decode_one(text, pos));
    return out;
}

}
