#include "engine/base/code_page.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(CodePage, WidenCharUsesTheNamedTable)
{
    struct Case {
        const char* locale;
        unsigned char byte;
        char16_t expected;
    };
    const Case cases[] = {
        {".1252", 0x41, u'A'},
        {".1251", 0x41, u'A'},
        {".1252", 0x80, u'\u20AC'},
        {".1252", 0x9F, u'\u0178'},
        {".1252", 0xE9, u'\u00E9'},
        {".1251", 0xC0, u'\u0410'},
        {".1251", 0xFF, u'\u044F'},
        {".1251", 0x88, u'\u20AC'},
        {".1251", 0x98, u' '},     // undefined in the published mapping
        {".1252", 0x81, u' '},
        {".1252", 0x8D, u' '},
        {".1252", 0x8F, u' '},
        {".1252", 0x90, u' '},
        {".1252", 0x9D, u' '},
        {nullptr, 0x80, u'\u20AC'},  // no name: the game's code page
        {"de_DE", 0x80, u'\u20AC'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(widen_char(c.locale, static_cast<char>(c.byte)), c.expected)
            << (c.locale ? c.locale : "null") << " byte " << int(c.byte);
    }
}

TEST(CodePage, WidenStringKeepsTheLengthAndStopsAtZero)
{
    EXPECT_EQ(widen_string("a\x80z"), u"a\u20ACz");
    EXPECT_EQ(widen_string(std::string("ab\0cd", 5)), std::u16string(u"ab\0\0\0", 5));
    EXPECT_EQ(widen_string(""), u"");
}

TEST(CodePage, NarrowString)
{
    struct Case {
        const char* locale;
        std::u16string text;
        bool ok;
        std::string expected;
    };
    const Case cases[] = {
        {".1251", u"\u0410", true, "\xC0"},
        {".1251", u"\u0410\u044F!", true, "\xC0\xFF!"},
        {".1252", u"\u20ACe\u00E9", true, "\x80" "e\xE9"},
        {nullptr, u"\u20AC", true, "\x80"},
        {".1251", u"a\u00E9b", false, std::string("a\0\0", 3)},  // é has no byte in 1251
        {".1252", u"\u0410", false, std::string("\0", 1)},
        {".1252", u" ", true, " "},  // the blank, not an undefined byte mapped to it
        {".1252", u"", true, ""},
    };
    for (const Case& c : cases) {
        std::string out = "junk";
        EXPECT_EQ(narrow_string(c.locale, c.text, out), c.ok);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(CodePage, EveryDefinedByteRoundTrips)
{
    for (const char* locale : {".1251", ".1252"}) {
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t unit = widen_char(locale, static_cast<char>(byte));
            if (unit == u' ' && byte != ' ')
                continue;
            std::string out;
            ASSERT_TRUE(narrow_string(locale, std::u16string(1, unit), out));
            EXPECT_EQ(static_cast<unsigned char>(out[0]), byte) << locale;
        }
    }
}

}
}
