#include "engine/host/window/code_page_1252.h"

namespace kq::host {

namespace {

// The code points of the bytes 0x80 to 0x9F; 0 where the page defines none.
constexpr char32_t high_block[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char32_t replacement = 0xFFFD;

void append_utf8(std::string& out, char32_t code_point)
{
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

}

unsigned char code_page_byte(char32_t code_point)
{
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
        return static_cast<unsigned char>(code_point);
    for (int i = 0; i < 32; ++i)
        if (high_block[i] != 0 && high_block[i] == code_point)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

std::u32string decode_utf8(const std::string& text)
{
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t code_point = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            length = 1, code_point = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code_point = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code_point = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code_point = lead & 0x07, minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code_point = (code_point << 6) | (next & 0x3F);
        }
        valid = valid && code_point >= minimum && code_point <= 0x10FFFF &&
                !(code_point >= 0xD800 && code_point <= 0xDFFF);
        out += valid ? code_point : replacement;
        i += valid ? length : 1;
    }
    return out;
}

std::string utf8_to_code_page(const std::string& text)
{
    std::string out;
    for (char32_t code_point : decode_utf8(text))
        if (const unsigned char byte = code_page_byte(code_point))
            out += static_cast<char>(byte);
    return out;
}

std::string code_page_to_utf8(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        const char32_t code_point = byte >= 0x80 && byte < 0xA0 ? high_block[byte - 0x80] : byte;
        if (code_point != 0)
            append_utf8(out, code_point);
    }
    return out;
}

}
