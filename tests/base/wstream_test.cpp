#include "engine/base/wstream.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/base/exception.h"

namespace kq {
namespace {

// The text as 16-bit little-endian units, with `extra` bytes after it.
std::string utf16le(const std::u16string& text, const std::string& extra = "")
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes + extra;
}

// Every token up to the end, or the text of the error that stopped the reading.
std::vector<std::u16string> tokens_of(const std::string& bytes, std::string& error,
                                      std::uint32_t* last_line = nullptr)
{
    std::vector<std::u16string> tokens;
    try {
        StringBuffer buffer(bytes);
        WStream stream(buffer);
        while (!stream.is_eof()) {
            tokens.emplace_back();
            stream.next_token(tokens.back());
        }
        if (last_line)
            *last_line = stream.line();
    } catch (const IOException& e) {
        error = e.message();  // the buffer's name holds zero bytes
    }
    return tokens;
}

TEST(WStream, ScansTokensOfSixteenBitUnits)
{
    struct Case {
        const char* name;
        std::u16string input;
        std::vector<std::u16string> tokens;
        std::uint32_t last_line;
    };
    const Case cases[] = {
        {"empty buffer", u"", {}, 1},
        {"cyrillic words need no quotes", u"\u041C\u0435\u043D\u044E = \u0438\u0433\u0440\u0430",
         {u"\u041C\u0435\u043D\u044E", u"=", u"\u0438\u0433\u0440\u0430"}, 1},
        {"byte-order mark joins the first word", u"\uFEFFmenu {", {u"\uFEFFmenu", u"{"}, 1},
        {"word then string", u"abc\"def\"", {u"abc", u"def"}, 1},
        {"slash words", u"a/b a / b /7", {u"a", u"/b", u"a", u"/", u"b", u"/7"}, 1},
        {"line comment", u"x//c\r\ny", {u"x", u"y"}, 2},
        {"block comment ends at the first slash after a star",
         u"/* 2 * 3 / 4 */ z", {u"4", u"*", u"/", u"z"}, 1},
        {"nested block", u"[a [b] \"]\" c]", {u"a [b] \"]\" c"}, 1},
        {"escapes", u"\"a\\tb\\n\\\"\\\\\"", {u"a\tb\n\"\\"}, 1},
        {"line continuation", u"\"a\\\r\n   b\"", {u"a   b"}, 2},
        {"blanks before a continuation", u"\"a\\  \r\nb\"", {u"ab"}, 2},
        {"empty string", u"\"\"", {u""}, 1},
        {"string of the end token ends the reading", u"a \"#EOF#\" b", {u"a"}, 1},
        {"line numbers count LF units", u"a\n\nb\r\nc\rd", {u"a", u"b", u"c", u"d"}, 4},
        {"symbols one by one", u"{a}=,(", {u"{", u"a", u"}", u"=", u",", u"("}, 1},
    };
    for (const Case& c : cases) {
        std::string error;
        std::uint32_t last_line = 0;
        EXPECT_EQ(tokens_of(utf16le(c.input), error, &last_line), c.tokens) << c.name;
        EXPECT_EQ(error, "") << c.name;
        EXPECT_EQ(last_line, c.last_line) << c.name;
    }
}

TEST(WStream, ReportsFormatErrorsWithTheLine)
{
    struct Case { const char* name; std::u16string input; std::string error; };
    const std::string prefix = "(in stream [";
    const Case cases[] = {
        {"lone closing bracket", u"a\n]", "at line 2) mismatched closing bracked ']'."},
        {"open quote", u"\n\"abc\ndef", "at line 3) quote opened on line 2 not matched."},
        {"open block", u"[a\n", "at line 2) square bracket '[' opened on line 1 not matched."},
        {"open comment", u"a /* \n", "at line 2) comment '/*' opened on line 1 not matched by '*/'."},
        {"unknown escape", u"\"a\\q\"", "at line 1) unknown backslash sequence \"\\q\""},
        {"backslash before a bare LF", u"\"a\\\nb\"", "at line 1) unknown backslash sequence \"\\\n\""},
        {"text after blanks of a continuation", u"\"a\\ x\"", "at line 1) spare symbols between backslash and enter"},
    };
    for (const Case& c : cases) {
        std::string error;
        tokens_of(utf16le(c.input), error);
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << c.name << ": " << error;
        EXPECT_TRUE(error.ends_with(c.error)) << c.name << ": " << error;
    }
}

TEST(WStream, FailsToReadPastTheEnd)
{
    StringBuffer buffer(std::string{});
    WStream stream(buffer);
    EXPECT_TRUE(stream.is_eof());
    EXPECT_FALSE(stream.token_is(u"#EOF#"));
    EXPECT_THROW(stream.skip_token(), IOException);
    std::u16string token;
    try {
        stream.next_token(token);
        FAIL() << "read past the end";
    } catch (const IOException& e) {
        EXPECT_STREQ(e.what(), "kq.io: (in stream [] at line 1) unexcepted end of file reached.");
    }
}

TEST(WStream, LooksAheadWithoutConsuming)
{
    StringBuffer buffer(utf16le(u"{ word"));
    WStream stream(buffer);
    EXPECT_TRUE(stream.token_is(u"{"));
    EXPECT_TRUE(stream.token_is(u"{"));
    stream.skip_token();
    EXPECT_FALSE(stream.token_is(u"{"));
    EXPECT_TRUE(stream.token_is(u"word"));
}

TEST(WStream, IgnoresATrailingOddByte)
{
    std::string error;
    EXPECT_EQ(tokens_of(utf16le(u"ab", "c"), error), std::vector<std::u16string>{u"ab"});
    EXPECT_EQ(error, "");
}

TEST(WStream, WriteOnlyBufferScansNothing)
{
    StringBuffer buffer;
    WStream stream(buffer);
    EXPECT_FALSE(stream.is_eof());
}

}
}
