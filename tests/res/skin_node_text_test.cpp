#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/constant_atom.h"
#include "engine/res/skin_node.h"
#include "skin_tree_text.h"

namespace kq {
namespace {

using namespace test;

std::string value_text(const SkinNode& node)
{
    StringStream stream;
    node.value().write_text(stream);
    return stream.str();
}

const SkinNode& child(const SkinNode& node, const char* name)
{
    SkinNode* found = node.find_child(StrCache(name));
    if (!found)
        throw std::runtime_error(std::string("no child ") + name);
    return *found;
}

TEST(SkinNodeText, ReadsEntries)
{
    SharedPtr<SkinNode> root = parse_document(
        "a.b.c 5\n"
        "caption \"Hello\"\n"
        "button : .base : x.y { size 10 }\n"
        "<one two> 7\n"
        "brace ! {\n"
        "empty {}\n"
        "#[uses \"ui/controls.sdt\"]\n");
    const SkinNode& c = child(child(child(*root, "a"), "b"), "c");
    EXPECT_EQ(value_text(c), "[5]");
    EXPECT_EQ(value_text(child(*root, "caption")), "[Hello]");
    const SkinNode& button = child(*root, "button");
    ASSERT_EQ(button.parents().size(), 2u);
    EXPECT_EQ(button.parents()[0], SkinPath(".base"));
    EXPECT_EQ(button.parents()[1], SkinPath("x.y"));
    EXPECT_FALSE(button.value().has_value());
    EXPECT_EQ(value_text(child(button, "size")), "[10]");
    auto anonymous = std::next(root->children().begin(), 3);
    EXPECT_TRUE(anonymous->name.is_unique());
    EXPECT_EQ(anonymous->node->ids(), (std::set<StrCache>{StrCache("one"), StrCache("two")}));
    EXPECT_EQ(value_text(child(*root, "brace")), "! [{]");
    EXPECT_FALSE(child(*root, "empty").value().has_value());
    EXPECT_EQ(root->directives(), std::vector<std::string>{"uses \"ui/controls.sdt\""});
    EXPECT_TRUE(parse_document("")->children().empty());
}

TEST(SkinNodeText, ReportsBadDocuments)
{
    struct Case
    {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"a.b 1\na.c 2", "at line 2) node \"a\" already present."},
        {"\"\" 1", "invalid node name."},
        {"a <x", "unexcepted end of file reached."},
        {"a : b-c", "invalid path [b-c] format"},
        {"a\n: \"b c\"", "at line 2) invalid path [b c] format"},
        {"a =f 1", "unexpected symbol '1', must be '('."},
        {"a =f(1 :", "unexpected symbol ':' in the arguments of function f."},
        {"a =f(1 { b 2 })", "unexpected symbol '{' in the arguments of function f."},
        {"a { b 1", "unexcepted end of file reached."},
        {std::string("a <\"x\0>\"> 1", 11), "invalid name [x"},
        {std::string("a #\"w\0\"", 7), "invalid name [w"},
        {std::string("a : \"b\0c\"", 9), "invalid path [b"},
    };
    for (const Case& c : cases) {
        try {
            parse_document(c.text);
            ADD_FAILURE() << c.text;
        } catch (const IOException& e) {
            // The message whole: the stream's name in it may hold zero bytes.
            EXPECT_NE(e.message().find(c.message), std::string::npos) << c.text << ": " << e.message();
        }
    }
}

TEST(SkinNodeText, LimitsNestingOfNamesAndFunctions)
{
    std::string dotted = "a";
    std::string blocks;
    std::string calls = "x ";
    for (int i = 0; i < 300; ++i) {
        dotted += ".a";
        blocks += "a{";
        calls += "=f(";
    }
    for (const std::string& text : {dotted + " 1", blocks, calls}) {
        try {
            parse_document(text);
            ADD_FAILURE();
        } catch (const IOException& e) {
            EXPECT_NE(std::string(e.what()).find("skin data nested too deeply."), std::string::npos) << e.what();
        }
    }
}

TEST(SkinNodeText, WritesWhatReadsBack)
{
    SharedPtr<SkinNode> read = parse_document(sample_document);
    std::string first = write_document(*read);
    SharedPtr<SkinNode> back = parse_document(first);
    EXPECT_EQ(tree_difference(*read, *back), "");
    EXPECT_EQ(write_document(*back), first);
    const SkinNode& nothing = child(*back, "nothing");
    EXPECT_FALSE(nothing.value().has_value());
    EXPECT_TRUE(nothing.children().empty());
    EXPECT_EQ(child(*back, "inner").directives().size(), 1u);
    EXPECT_EQ(child(*back, "valued").directives().size(), 1u);
}

TEST(SkinNodeText, KeepsTextsThatABlockCannotHold)
{
    struct Case
    {
        std::string text;
    };
    const Case cases[] = {{"a]b"}, {"say \"hi"}, {"[x]"}, {"a b"}, {"="}, {"!"}, {":"}, {"{"}, {"}"}, {")"},
                          {"<"}, {"#"}, {""}, {"back\\slash\"q"}, {"x\r\ny"}};
    for (const Case& c : cases) {
        SharedPtr<SkinNode> root(new SkinNode);
        SharedPtr<SkinNode> node(new SkinNode);
        node->value().set_atom(SharedPtr<ValueAtom>(new ConstantAtom(c.text)));
        node->directives().push_back(c.text + " d");
        root->add_child(StrCache("n"), node);
        SharedPtr<SkinNode> back = parse_document(write_document(*root));
        const SkinNode& read = child(*back, "n");
        auto* atom = dynamic_cast<ConstantAtom*>(read.value().atom().get());
        ASSERT_NE(atom, nullptr) << c.text;
        EXPECT_EQ(atom->text(), c.text);
        EXPECT_EQ(read.directives(), std::vector<std::string>{c.text + " d"});
    }
}

TEST(SkinNodeText, WritesAnonymousAndEmptyNames)
{
    SharedPtr<SkinNode> root(new SkinNode);
    SharedPtr<SkinNode> anonymous(new SkinNode);
    anonymous->value().set_atom(SharedPtr<ValueAtom>(new ConstantAtom("1")));
    root->add_child(StrCache::make_unique(), anonymous);
    SharedPtr<SkinNode> unnamed(new SkinNode);
    unnamed->value().set_atom(SharedPtr<ValueAtom>(new ConstantAtom("2")));
    root->add_child(StrCache(""), unnamed);
    std::string text = write_document(*root);
    EXPECT_EQ(text.substr(0, 6), "<>[1]\r");
    SharedPtr<SkinNode> back = parse_document(text);
    ASSERT_EQ(back->children().size(), 2u);
    EXPECT_TRUE(back->children().front().name.is_unique());
    EXPECT_TRUE(back->children().back().name.empty());
    EXPECT_EQ(value_text(*back->children().back().node), "[2]");
}

}
}
