#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/variable_atom.h"
#include "test_skin_environment.h"

namespace kq {
namespace {

using test::TestSkinEnvironment;

std::string text_of(const ValueAtom& atom)
{
    StringStream stream;
    atom.write_text(stream);
    return stream.str();
}

// The node's atom (to see whether it was folded).
ValueAtom* atom_at(TestSkinEnvironment& skin, const char* path)
{
    return skin.try_find_node(SkinPath(path), true)->value().atom().get();
}

TEST(ValueAtom, ParsesEachKind)
{
    struct Case
    {
        const char* text;
        const char* kind;  // "" for no atom
        const char* written;
    };
    const Case cases[] = {
        {"12", "ConstantAtom", "[12]"},
        {"! *", "ConstantAtom", "! [*]"},
        {"! !", "ConstantAtom", "! [!]"},
        {"\"a b\"", "ConstantAtom", "[a b]"},
        {"=rand()", "FuncAtom", "=\"rand\"()"},
        {"=cat(1 #w *.v &a =or())", "FuncAtom", "=\"cat\"([1] #\"w\" *.v &a =\"or\"())"},
        {"*a.b", "VariableAtom", "*a.b"},
        {"&.c", "RefAtom", "&.c"},
        {"* \"\"", "VariableAtom", "*\"\""},
        {"* .", "VariableAtom", "*."},
        {"&a..", "RefAtom", "&a.."},
        {"#name", "DefAtom", "#\"name\""},
        {":", "", ""},
        {"{", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        StringStream stream(c.text);
        SharedPtr<ValueAtom> atom = parse_atom(stream);
        if (!*c.kind) {
            EXPECT_FALSE(atom) << c.text;
            continue;
        }
        ASSERT_TRUE(atom) << c.text;
        std::string kind = typeid(*atom).name();
        EXPECT_NE(kind.find(c.kind), std::string::npos) << c.text << " gave " << kind;
        EXPECT_EQ(text_of(*atom), c.written) << c.text;
        StringStream again(text_of(*atom));
        EXPECT_EQ(text_of(*parse_atom(again)), c.written) << c.text;
    }
}

TEST(ValueAtom, CallWithoutArgumentsHasNone)
{
    StringStream stream("=f()");
    SharedPtr<ValueAtom> atom = parse_atom(stream);
    EXPECT_TRUE(dynamic_cast<FuncAtom&>(*atom).arguments().empty());
    EXPECT_TRUE(stream.is_eof());
}

TEST(ValueAtom, EvaluatesRelativeToTheNodeAskedFor)
{
    TestSkinEnvironment skin(
        "a { b *.c c 7 d &.c e *x.y }\n"
        "x.y 3\n"
        "base { v *.w w 1 }\n"
        "n : base { w 2 }\n"
        "blank \"\"\n"
        "y 5 z : y {}\n");
    EXPECT_EQ(skin.text("a.b"), "7");
    EXPECT_EQ(skin.text("a.d"), "a.c");
    EXPECT_EQ(skin.text("a.e"), "3");
    EXPECT_EQ(skin.text("base.v"), "1");
    EXPECT_EQ(skin.text("n.v"), "2");
    EXPECT_EQ(skin.text("blank"), "");
    EXPECT_EQ(skin.text("z"), "5");
}

TEST(ValueAtom, FoldsDefinitionsOnce)
{
    TestSkinEnvironment skin("x #w");
    skin.define(StrCache("w"), "5");
    EXPECT_EQ(skin.text("x"), "5");
    EXPECT_NE(dynamic_cast<ConstantAtom*>(atom_at(skin, "x")), nullptr);
    skin.define(StrCache("w"), "6");
    EXPECT_EQ(skin.text("x"), "5");
}

TEST(ValueAtom, FoldsOnlyConstantCalls)
{
    struct Case
    {
        const char* document;
        bool constant;
        int calls_after_two_reads;
    };
    const Case cases[] = {
        {"x =f(1 2)", true, 1},
        {"x =f(1 2)", false, 2},
        {"x =f(1 *y) y 3", true, 2},
        {"x =f(=f(1) #w)", true, 2},
    };
    for (const Case& c : cases) {
        TestSkinEnvironment skin(c.document);
        skin.define(StrCache("w"), "9");
        skin.add_function(
            "f",
            [](const std::vector<std::string>& arguments, const SkinPath&) {
                std::string result;
                for (const std::string& argument : arguments)
                    result += argument;
                return result;
            },
            c.constant);
        std::string first = skin.text("x");
        EXPECT_EQ(skin.text("x"), first) << c.document;
        EXPECT_EQ(skin.calls(), c.calls_after_two_reads) << c.document;
    }
}

TEST(ValueAtom, PassesTheContextToFunctions)
{
    TestSkinEnvironment skin("base { name =step() } a.b : base {}");
    skin.add_function(
        "step", [](const std::vector<std::string>&, const SkinPath& context) { return context.text(); }, false);
    EXPECT_EQ(skin.text("a.b.name"), "a.b.name");
}

TEST(ValueAtom, ReportsEvaluationErrors)
{
    struct Case
    {
        const char* document;
        const char* path;
        const char* message;
    };
    const Case cases[] = {
        {"x #nope", "x", "using undefined definition [nope]"},
        {"x =nope()", "x", "using undefined function [nope]"},
        {"x *y", "x", "node not found [y]"},
        {"a *b b *a", "a", "cyclic reference to node [b]"},
        {"c *c", "c", "cyclic reference to node [c]"},
        {"p { a *.b b =f(*.a) }", "p.a", "cyclic reference to node [p.b]"},
    };
    for (const Case& c : cases) {
        TestSkinEnvironment skin(c.document);
        skin.add_function("f", [](const std::vector<std::string>&, const SkinPath&) { return std::string(); }, false);
        try {
            skin.text(c.path);
            ADD_FAILURE() << c.document;
        } catch (const ServiceException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.document << ": " << e.what();
        }
    }
}

}
}
