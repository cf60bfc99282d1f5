#include "engine/res/dictionary.h"

#include <gtest/gtest.h>

#include "engine/base/buffer.h"

namespace kq {
namespace {

class ExpandMacros : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        StringBuffer xml(
            "<dic>"
            "<menu><start>Play</start></menu>"
            "<nest>{#menu.start} now</nest>"
            "<self>x{#self}</self>"
            "<pair>{#pair}{#pair}</pair>"
            "<quad>{#quad}{#quad}{#quad}{#quad}</quad>"
            "<opening>{#</opening>"
            "</dic>");
        Dictionary dictionary;
        dictionary.load_xml(xml);
        dictionary.publish_words();
    }

    // Answers value markers with the name in square brackets.
    static void bracket(const std::string& name, std::string& text)
    {
        text = "[" + name + "]";
    }
};

std::u16string repeat(const std::u16string& text, int times)
{
    std::u16string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST_F(ExpandMacros, ReplacesMarkersAsTheScanningRulesSay)
{
    struct Case { const char* name; std::string source; std::u16string expected; };
    const Case cases[] = {
        {"no markers", "plain text", u"plain text"},
        {"word", "{#menu.start}", u"Play"},
        {"absent word gives its key", "<{#menu.none}>", u"<menu.none>"},
        {"comment removed whole", "a{/ note }b", u"ab"},
        {"value from the resolver", "score {&points}!", u"score [points]!"},
        {"brace without a type", "{x} and {", u"{x} and {"},
        {"two braces hide the marker", "{{#menu.start}", u"{{#menu.start}"},
        {"brace after the type is part of the name", "{#}menu.start}", u"}menu.start"},
        {"marker without its closing brace", "a {#menu.start", u"a {#menu.start"},
        {"word holding a marker", "{#nest}!", u"Play now!"},
        {"replacement joins the text after it", "{#opening}menu.start}", u"Play"},
        {"bytes widened one by one", "\xC3\xA9\x80", u"\u00C3\u00A9\u20AC"},
        {"markers side by side", "{#menu.start}{/x}{&v}", u"Play[v]"},
        {"word naming itself stops at a fixed depth", "{#self}", repeat(u"x", 8) + u"{#self}"},
        {"word naming itself twice stops too", "{#pair}", repeat(u"{#pair}", 256)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Dictionary::expand_macros(c.source, bracket), c.expected) << c.name;
}

TEST_F(ExpandMacros, ExponentialWordsStopWithinABudget)
{
    const std::u16string text = Dictionary::expand_macros("{#quad}", bracket);
    EXPECT_LT(text.size(), 64u * 1024u);
    EXPECT_NE(text.find(u"{#quad}"), std::u16string::npos);
}

TEST_F(ExpandMacros, ValueMarkerWithoutResolverThrows)
{
    EXPECT_EQ(Dictionary::expand_macros("{#menu.start}", {}), u"Play");
    EXPECT_THROW(Dictionary::expand_macros("{&v}", {}), std::bad_function_call);
}

}
}
