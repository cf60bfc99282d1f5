#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/base/debug_output.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_node.h"
#include "skin_path_print.h"
#include "skin_tree_text.h"
#include "test_skin_environment.h"
#include "test_resources.h"

namespace kq {
namespace {

using test::parse_document;
using test::TestSkinEnvironment;

std::string names(TestSkinEnvironment& skin, const char* path, const std::string& id = "")
{
    std::vector<StrCache> out;
    SkinNode::enum_ids(skin.root(), SkinPath(path), out, id);
    std::string joined;
    for (StrCache name : out)
        joined += std::string(joined.empty() ? "" : " ") + name.c_str();
    return joined;
}

template <class Action>
std::string error_of(Action action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

TEST(SkinNode, FindsThroughChildrenAndParents)
{
    struct Case
    {
        const char* document;
        const char* path;
        bool need_value;
        const char* found;  // path of the node expected, "" for none
    };
    const Case cases[] = {
        {"m { c 1 } n : .m {}", "n.c", false, "m.c"},
        {"n : .m {}", "n.c", false, ""},
        {"m { c 1 } n : .m { c 2 }", "n.c", false, "n.c"},
        {"y 5 x : y {}", "x", true, "y"},
        {"y 5 x : y {}", "x", false, "x"},
        {"q { c 1 } p : q {} n : p {}", "n.c", false, "q.c"},
        {"a { m { c 1 } n : .m {} }", "a.n.c", false, "a.m.c"},
        {"s { t 1 } a : s { } b : a.t {}", "b", true, "s.t"},
        {"bad : nowhere {} good { c 1 } n : bad : good {}", "n.c", false, "good.c"},
    };
    for (const Case& c : cases) {
        TestSkinEnvironment skin(c.document);
        SkinNode* found = SkinNode::find(c.need_value, SkinPath(c.path), skin.root());
        if (!*c.found) {
            EXPECT_EQ(found, nullptr) << c.document;
            continue;
        }
        ASSERT_NE(found, nullptr) << c.document;
        EXPECT_EQ(node_path(*found), SkinPath(c.found)) << c.document;
    }
}

TEST(SkinNode, LogsInheritanceThatDoesNotResolve)
{
    const test::TempDir dir;
    set_log_dir(dir.str());
    std::vector<std::string> lines;
    const std::int32_t listener = add_debug_listener([&](const std::string& line, const std::string* log) {
        if (log && *log == "error")
            lines.push_back(line);
    });
    TestSkinEnvironment skin("a { n : .m {} }");
    EXPECT_EQ(SkinNode::find(false, SkinPath("a.n.c"), skin.root()), nullptr);
    remove_debug_listener(listener);
    set_log_dir("");
    for (const char* expected : {"Invalid inheritance.", "Node path: a.n", "Parent path: .m", "Result path: a.m"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
}

TEST(SkinNode, ListsInheritedChildrenFirst)
{
    TestSkinEnvironment skin(
        "q { a 1 } p : q { b <x> 2 c 3 } n : p { c <x> 4 d 5 }\n"
        "own : p { a 6 }\n");
    EXPECT_EQ(names(skin, "n"), "a b c d");
    EXPECT_EQ(names(skin, "own"), "a b c");
    EXPECT_EQ(names(skin, "n", "x"), "b c");
    EXPECT_EQ(names(skin, "q.a"), "");
}

TEST(SkinNode, FailsOnInheritanceCycles)
{
    struct Case
    {
        const char* document;
        const char* path;
        const char* message;
    };
    const Case cases[] = {
        {"a : a {}", "a.x", "cyclic inheritance at node [a]"},
        {"a : b {} b : a {}", "a.x", "cyclic inheritance at node ["},
        {"p { q : .q {} }", "p.q.z", "cyclic inheritance at node [p.q]"},
        {"x : .x.x {}", "x.q", "cyclic inheritance at node [x]"},
        {"r { x : .x.y {} }", "r.x.z", "cyclic inheritance at node [r.x]"},
    };
    for (const Case& c : cases) {
        TestSkinEnvironment skin(c.document);
        std::string error = error_of([&] { SkinNode::find(false, SkinPath(c.path), skin.root()); });
        EXPECT_NE(error.find(c.message), std::string::npos) << c.document << ": " << error;
        error = error_of([&] { names(skin, c.path); });
        EXPECT_NE(error.find("cyclic inheritance"), std::string::npos) << c.document << ": " << error;
    }
}

// Each level inherits twice from the one below: walked once per route, a lookup that fails
// would take 2^60 steps.
TEST(SkinNode, WalksMeetingInheritanceRoutesOnce)
{
    std::string document = "l0 { c 1 }\n";
    for (int level = 1; level <= 60; ++level) {
        std::string below = "l" + std::to_string(level - 1);
        document += "l" + std::to_string(level) + " : " + below + " : " + below + " {}\n";
    }
    TestSkinEnvironment skin(document);
    EXPECT_EQ(SkinNode::find(false, SkinPath("l60.missing"), skin.root()), nullptr);
    SkinNode* found = SkinNode::find(false, SkinPath("l60.c"), skin.root());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(node_path(*found), SkinPath("l0.c"));
    EXPECT_EQ(names(skin, "l60"), "c");
}

TEST(SkinNode, MergesDocuments)
{
    TestSkinEnvironment skin("x { a 1 } y : p {} <i> 3");
    SharedPtr<SkinNode> second = parse_document("x { b 2 } y <k> : q { c 3 }");
    skin.root().merge(*second);
    EXPECT_EQ(names(skin, "x"), "a b");
    SkinNode* y = skin.root().find_child(StrCache("y"));
    ASSERT_EQ(y->parents().size(), 2u);
    EXPECT_EQ(y->parents()[1], SkinPath("q"));
    EXPECT_TRUE(y->ids().contains(StrCache("k")));
    EXPECT_EQ(skin.root().find_child(StrCache("x"))->find_child(StrCache("b")),
              second->find_child(StrCache("x"))->find_child(StrCache("b")));
    SharedPtr<SkinNode> third = parse_document("x { a 5 }");
    EXPECT_NE(error_of([&] { skin.root().merge(*third); }).find("(in service [skin]) double value in node x.a"),
              std::string::npos);
}

TEST(SkinNode, KnowsItsPathFromTheSkinRoot)
{
    TestSkinEnvironment skin("a { b { c 1 } }");
    SkinNode* c = SkinNode::find(false, SkinPath("a.b.c"), skin.root());
    EXPECT_EQ(node_path(*c), SkinPath("a.b.c"));
    EXPECT_TRUE(node_path(skin.root()).empty());
    SkinNode loose;
    EXPECT_STREQ(node_path(loose)[0].c_str(), "unattached node");
}

TEST(SkinNode, RunsDirectives)
{
    TestSkinEnvironment skin;
    SharedPtr<SkinNode> document = parse_document(
        "#[define w 5]\n"
        "#[uses \"ui/Controls.sdt\"]\n"
        "a { #[define v \"x y\"] }\n");
    document->run_directives();
    EXPECT_EQ(skin.definition(StrCache("w")), "5");
    EXPECT_EQ(skin.definition(StrCache("v")), "x y");
    EXPECT_EQ(skin.used(), std::vector<std::string>{"ui/controls.sdt"});
    SkinNode node;
    EXPECT_NE(error_of([&] { node.run_directive("foo \"bar\""); }).find("unknown directive \"foo \\\"bar\\\"\""),
              std::string::npos);
}

TEST(SkinNode, CopySharesValueAndChildren)
{
    SharedPtr<SkinNode> root = parse_document("a <i> 1 : p { b 2 #[define x 1] }");
    const SkinNode& a = *root->find_child(StrCache("a"));
    SkinNode copy(a);
    EXPECT_EQ(copy.value().atom().get(), a.value().atom().get());
    EXPECT_EQ(copy.find_child(StrCache("b")), a.find_child(StrCache("b")));
    EXPECT_EQ(copy.parents(), a.parents());
    EXPECT_EQ(copy.directives(), a.directives());
    EXPECT_EQ(copy.ids(), a.ids());
}

// Small and large nodes find children alike: the first entry of a name, none for a name not
// there, in the order written, also after merging and after reading the node again.
TEST(SkinNode, FindsChildrenByNameAtAnySize)
{
    for (int count : {1, 8, 9, 40}) {
        SCOPED_TRACE(count);
        std::string text = "n {";
        std::string other = "n {";
        for (int i = 0; i < count; ++i) {
            text += " c" + std::to_string(i) + " " + std::to_string(i);
            other += " d" + std::to_string(i) + " { c" + std::to_string(i) + " 0 }";
        }
        TestSkinEnvironment skin(text + " }");
        SkinNode& n = *skin.root().find_child(StrCache("n"));
        for (int i = 0; i < count; ++i) {
            const SkinNode* child = n.find_child(StrCache(("c" + std::to_string(i)).c_str()));
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(n.children()[i].node.get(), child);
        }
        EXPECT_EQ(n.find_child(StrCache("d0")), nullptr);
        // A second entry of a name, which only add_child makes, does not hide the first.
        const SkinNode* first = n.find_child(StrCache("c0"));
        n.add_child(StrCache("c0"), SharedPtr<SkinNode>(new SkinNode));
        EXPECT_EQ(n.find_child(StrCache("c0")), first);
        skin.root().merge(*parse_document(other + " }"));
        EXPECT_EQ(n.children().size(), static_cast<std::size_t>(2 * count + 1));
        const std::string last = "d" + std::to_string(count - 1);
        EXPECT_EQ(n.find_child(StrCache(last.c_str())), n.children().back().node.get());
        EXPECT_NE(error_of([&] { parse_document(text + " c" + std::to_string(count - 1) + " 5 }"); })
                      .find("node \"c" + std::to_string(count - 1) + "\" already present."),
                  std::string::npos);
        n.read_text(*std::make_unique<StringStream>("{ e 1 }"));
        EXPECT_EQ(n.find_child(StrCache("c0")), nullptr);
        EXPECT_NE(n.find_child(StrCache("e")), nullptr);
    }
}

}
}
