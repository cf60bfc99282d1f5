#include "engine/host/window/code_page_1252.h"

#include <gtest/gtest.h>

namespace kq::host {
namespace {

TEST(CodePage1252, TypedTextBecomesOneByteACharacterDroppingWhatThePageLacks)
{
    struct Case { const char* utf8; std::string expected; };
    const Case cases[] = {
        {"abc", "abc"},
        {"caf\xC3\xA9", "caf\xE9"},                 // é in the upper half
        {"\xE2\x82\xAC", "\x80"},                   // € from the block the page rearranges
        {"\xC5\xB8", "\x9F"},                       // Ÿ, the block's last character
        {"\xD0\xB6x", "x"},                         // ж has no byte
        {"\xF0\x9F\x98\x80", ""},                   // outside the basic plane
        {"a\xC3", "a"},                             // cut sequence
        {"\xC0\xAF", ""},                           // overlong form
        {"\xED\xA0\x80", ""},                       // a surrogate
        {"\xC2\x81", ""},                           // a control the page leaves undefined
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8_to_code_page(c.utf8), c.expected) << c.utf8;
}

TEST(CodePage1252, BytesBecomeUtf8UpToTheFirstZero)
{
    struct Case { std::string bytes; const char* expected; };
    const Case cases[] = {
        {"caf\xE9", "caf\xC3\xA9"},
        {"\x80\x99", "\xE2\x82\xAC\xE2\x84\xA2"},
        {"a\x81" "b", "ab"},  // undefined byte
        {std::string("a\0b", 3), "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(code_page_to_utf8(c.bytes), c.expected);
}

TEST(CodePage1252, EveryDefinedByteSurvivesTheRoundTrip)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(utf8_to_code_page(code_page_to_utf8(one)), undefined ? "" : one) << byte;
    }
}

}
}
