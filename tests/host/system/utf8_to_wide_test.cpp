#include "engine/host/system/utf8_to_wide.h"

#include <gtest/gtest.h>

namespace kq::host {
namespace {

TEST(Utf8ToWide, ConvertsAndReplacesBadSequences)
{
    struct Case { const char* name; std::string input; std::u16string expected; };
    const Case cases[] = {
        {"empty", "", u""},
        {"ascii", "Play", u"Play"},
        {"two-byte", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"cyrillic", "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0", u"\u0418\u0433\u0440\u0430"},
        {"three-byte", "\xE2\x82\xAC", u"\u20AC"},
        {"above U+FFFF as a pair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"lone continuation", "a\x80" "b", u"a\uFFFDb"},
        {"invalid lead", "\xFF", u"\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short at the end", "x\xE2\x82", u"x\uFFFD"},
        {"cut short before ascii", "\xE2\x82x", u"\uFFFDx"},
        {"zero byte kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8_to_wide(c.input), c.expected) << c.name;
}

}
}
