#include "engine/res/dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/base/buffer.h"
#include "engine/base/debug_output.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/wstream.h"
#include "test_resources.h"

namespace kq {
namespace {

std::string utf16le(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(Dictionary, ReadsTheXmlForm)
{
    struct Case { const char* name; std::string xml; WordMap words; };
    const Case cases[] = {
        {"root name is no part of a key", "<dic><menu><start>Play</start></menu></dic>",
         {{u"menu.start", u"Play"}}},
        {"text beside child elements", "<dic><a>x<b>y</b></a></dic>", {{u"a", u"x"}, {u"a.b", u"y"}}},
        {"later text of the same path wins", "<dic><a>1</a><a>2</a></dic>", {{u"a", u"2"}}},
        {"text of the root has the empty key", "<dic>hello</dic>", {{u"", u"hello"}}},
        {"utf-8 above U+FFFF", "<dic><w>\xD0\x96\xF0\x9F\x98\x80</w></dic>", {{u"w", u"\u0416\xD83D\xDE00"}}},
        {"cdata and entities", "<dic><w><![CDATA[<b>]]></w><v>a &amp; b</v></dic>",
         {{u"w", u"<b>"}, {u"v", u"a & b"}}},
        {"comments and attributes ignored", "<?xml version=\"1.0\"?><dic><!-- c --><w a=\"1\">t</w></dic>",
         {{u"w", u"t"}}},
        {"no root element", "<?xml version=\"1.0\"?>", {}},
    };
    for (const Case& c : cases) {
        StringBuffer buffer(c.xml);
        Dictionary dictionary;
        dictionary.load_xml(buffer);
        EXPECT_EQ(dictionary.words(), c.words) << c.name;
    }
}

TEST(Dictionary, MalformedXmlNamesTheFileAndLine)
{
    struct Case { const char* name; std::string xml; std::string line; };
    const Case cases[] = {
        {"mismatched end tag", "<dic>\n<a>x</b>\n</dic>", " at line 2)"},
        {"unclosed element", "<dic>\n\n<a>", " at line 3)"},
        {"empty file", "", " at line 1)"},
    };
    for (const Case& c : cases) {
        StringBuffer buffer(c.xml);
        Dictionary dictionary;
        try {
            dictionary.load_xml(buffer);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const IOException& e) {
            const std::string expected = "(in stream [" + c.xml + "]" + c.line + " malformed XML: ";
            EXPECT_EQ(e.message().rfind(expected, 0), 0u) << c.name << ": " << e.message();
        }
    }
}

TEST(Dictionary, ReadsTheTextForm)
{
    struct Case { const char* name; std::u16string text; WordMap words; };
    const Case cases[] = {
        {"group of two words", u"menu { start \"Play\" quit Quit }",
         {{u"menu.start", u"Play"}, {u"menu.quit", u"Quit"}}},
        {"nested groups", u"a { b { c x } }", {{u"a.b.c", u"x"}}},
        {"a word with its text also names a group", u"g \"G\" { a 1 }", {{u"g", u"G"}, {u"g.a", u"1"}}},
        {"group before any word", u"{ x 1 }", {{u".x", u"1"}}},
        {"word without text and open group dropped", u"g { a 1 b", {{u"g.a", u"1"}}},
        {"wide texts", u"\u0438\u0433\u0440\u0430 \"\u041D\u043E\u0432\u0430\u044F \u0438\u0433\u0440\u0430\"",
         {{u"\u0438\u0433\u0440\u0430", u"\u041D\u043E\u0432\u0430\u044F \u0438\u0433\u0440\u0430"}}},
        {"empty", u"", {}},
    };
    for (const Case& c : cases) {
        StringBuffer buffer(utf16le(c.text));
        WStream stream(buffer);
        Dictionary dictionary;
        dictionary.load_text(stream);
        EXPECT_EQ(dictionary.words(), c.words) << c.name;
    }
}

TEST(Dictionary, ClosingBraceWithoutGroupFails)
{
    StringBuffer buffer(utf16le(u"a 1\n}\nb 2"));
    WStream stream(buffer);
    Dictionary dictionary;
    try {
        dictionary.load_text(stream);
        FAIL() << "no error";
    } catch (const IOException& e) {
        EXPECT_TRUE(e.message().ends_with(" at line 3) Unexpected '}'. Names stack underflow")) << e.message();
    }
}

TEST(Dictionary, RepeatedWordIsLoggedAndTheLaterTextKept)
{
    const test::TempDir dir;
    set_log_dir(dir.str());
    std::vector<std::string> error_lines;
    const std::int32_t listener = add_debug_listener([&](const std::string& line, const std::string* log) {
        if (log && *log == "error")
            error_lines.push_back(line);
    });

    StringBuffer buffer(utf16le(u"menu { start One }\nmenu { start Two }"));
    WStream stream(buffer);
    Dictionary dictionary;
    dictionary.load_text(stream);

    remove_debug_listener(listener);
    set_log_dir("");
    EXPECT_EQ(dictionary.words(), (WordMap{{u"menu.start", u"Two"}}));
    EXPECT_EQ(std::count(error_lines.begin(), error_lines.end(), "The word [menu.start] has repeated"), 1);
}

TEST(Dictionary, PublishingMergesLaterWordsOverEarlierOnes)
{
    StringBuffer first_xml("<dic><publish><a>first a</a><b>first b</b></publish></dic>");
    StringBuffer second_xml("<dic><publish><b>second b</b></publish></dic>");
    Dictionary first;
    Dictionary second;
    first.load_xml(first_xml);
    second.load_xml(second_xml);

    EXPECT_EQ(find_word(u"publish.a"), nullptr);
    first.publish_words();
    second.publish_words();

    ASSERT_NE(find_word(u"publish.a"), nullptr);
    EXPECT_EQ(*find_word(u"publish.a"), u"first a");
    ASSERT_NE(find_word(u"publish.b"), nullptr);
    EXPECT_EQ(*find_word(u"publish.b"), u"second b");
    EXPECT_EQ(second.words().size(), 1u);
}

}
}
