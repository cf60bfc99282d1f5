#include "engine/res/skin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "skin_fixture.h"

namespace kq {
namespace {

using test::SkinLogCapture;
using test::SkinTest;

std::string error_text(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

TEST(SkinStart, NeedsTheMainframeAndRes)
{
    EXPECT_EQ(error_text(start_skin_service),
              "kq.common: Unable to start service [skin]. Mainframe not initialized correctly.");
    Mainframe::create();
    EXPECT_EQ(error_text(start_skin_service), "kq.common: Unable to start service [skin]. [res] not initialized.");
    EXPECT_EQ(Skin::instance(), nullptr);
    Mainframe::destroy();
}

TEST_F(SkinTest, ReadsValuesThroughInheritanceDefinitionsAndFunctions)
{
    write("a.sdt",
          "base { size 10 color red }\n"
          "button : .base { color blue }\n"
          "label #W\n"
          "flags =or(#ONE 4 8)\n"
          "rel { x 5 y *.x z &.x }\n");
    start({make_skin_definitions_task("W", "wide"), make_skin_definitions_task("ONE", "1"),
           make_skin_function_task("or", skin_or, true), make_skin_document_task("a.sdt")});
    struct Case
    {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"button.size", "10"}, {"button.color", "blue"}, {"base.color", "red"}, {"label", "wide"},
        {"flags", "13"},       {"rel.y", "5"},           {"rel.z", "rel.x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(c.path), c.expected) << c.path;
}

TEST_F(SkinTest, NodeWithoutValueIsFoundButHasNoText)
{
    write("a.sdt", "a { b { c 1 } }\n");
    start({make_skin_document_task("a.sdt")});
    EXPECT_NE(skin().try_find_node(SkinPath("a.b"), false), nullptr);
    EXPECT_EQ(skin().try_find_node(SkinPath("a.b"), true), nullptr);
    EXPECT_EQ(error_text([&] { text("a.b"); }), "kq.services: (in service [skin]) node not found [a.b]");
    EXPECT_EQ(skin().try_find_node(SkinPath("a.x"), false), nullptr);
}

// The cache of found nodes is never cleared while the service lives: a document attached
// later that would change what a path finds does not change a path found before. Only
// lookups that need a value walk the tree afresh.
TEST_F(SkinTest, FoundNodesAreKeptForGood)
{
    write("a.sdt", "base { x 1 } n : base {}\n");
    write("b.sdt", "n { x 2 late 3 }\n");
    start({make_skin_document_task("a.sdt")});
    SkinNode* inherited = skin().try_find_node(SkinPath("n.x"), false);
    ASSERT_NE(inherited, nullptr);
    EXPECT_EQ(inherited, skin().try_find_node(SkinPath("base.x"), false));
    EXPECT_EQ(skin().try_find_node(SkinPath("n.late"), false), nullptr);

    skin().attach_document(ResHandle<SkinDocument>(ResKey{"b.sdt", 0}));
    EXPECT_EQ(skin().try_find_node(SkinPath("n.x"), false), inherited);
    EXPECT_EQ(text("n.x"), "2");
    EXPECT_NE(skin().try_find_node(SkinPath("n.x"), true), inherited);
    // A path not found before is looked up again.
    EXPECT_NE(skin().try_find_node(SkinPath("n.late"), false), nullptr);
}

TEST_F(SkinTest, DefinitionsAndFunctions)
{
    start();
    skin().define(StrCache("w"), "5");
    EXPECT_EQ(error_text([&] { skin().define(StrCache("w"), "6"); }),
              "kq.services: (in service [skin]) redifinition of name [w]");
    EXPECT_EQ(skin().definition(StrCache("w")), "5");
    EXPECT_EQ(error_text([&] { skin().definition(StrCache("v")); }),
              "kq.services: (in service [skin]) using undefined definition [v]");
    EXPECT_EQ(error_text([&] { skin().call_function(StrCache("f"), {}, SkinPath()); }),
              "kq.services: (in service [skin]) using undefined function [f]");
    EXPECT_THROW(skin().is_constant_function(StrCache("f")), ServiceException);

    skin().register_function(StrCache("f"), skin_cat, true);
    skin().register_function(StrCache("f"), skin_or, false);
    EXPECT_EQ(skin().call_function(StrCache("f"), {"1", "2"}, SkinPath()), "3");
    EXPECT_FALSE(skin().is_constant_function(StrCache("f")));
}

TEST_F(SkinTest, UsedDocumentsAreAttachedBeforeTheirUser)
{
    write("outer.sdt", "#[uses \"inner.sdt\"]\nouter 1\n");
    write("inner.sdt", "inner 2\n");
    SkinLogCapture log;
    start({make_skin_document_task("outer.sdt")});
    const std::string lines = log.text();
    const std::size_t inner = lines.find("Attaching \"inner.sdt\"");
    const std::size_t inner_end = lines.find("End \"inner.sdt\"");
    const std::size_t outer = lines.find("Attaching \"outer.sdt\"");
    const std::size_t outer_end = lines.find("End \"outer.sdt\"");
    ASSERT_NE(outer_end, std::string::npos) << lines;
    EXPECT_LT(inner, inner_end);
    EXPECT_LT(inner_end, outer);
    EXPECT_LT(outer, outer_end);
    EXPECT_EQ(text("inner"), "2");
    EXPECT_EQ(skin().documents().size(), 2u);
}

TEST_F(SkinTest, DocumentsThatUseEachOtherFailTheStart)
{
    write("a.sdt", "#[uses \"b.sdt\"]\na 1\n");
    write("b.sdt", "#[uses \"a.sdt\"]\nb 2\n");
    write("self.sdt", "#[uses \"self.sdt\"]\nc 3\n");
    for (const char* document : {"a.sdt", "self.sdt"}) {
        EXPECT_NE(error_text([&] { start({make_skin_document_task(document)}); }).find("circular"),
                  std::string::npos)
            << document;
        stop();
    }
}

TEST_F(SkinTest, DocumentRegisteredTwiceIsAttachedOnce)
{
    write("a.sdt", "a 1\n");
    SkinLogCapture log;
    start({make_skin_document_task("a.sdt"), make_skin_document_task("a.sdt")});
    const std::string lines = log.text();
    EXPECT_EQ(lines.find("Attaching \"a.sdt\""), lines.rfind("Attaching \"a.sdt\""));
    EXPECT_EQ(skin().documents().size(), 1u);
}

TEST_F(SkinTest, SecondValueForOneNodeFailsTheStart)
{
    write("a.sdt", "x 1\n");
    write("b.sdt", "x 2\n");
    EXPECT_THROW(start({make_skin_document_task("a.sdt"), make_skin_document_task("b.sdt")}), ServiceException);
}

TEST_F(SkinTest, MissingDocumentFailsTheStart)
{
    EXPECT_THROW(start({make_skin_document_task("missing.sdt")}), ResException);
}

TEST_F(SkinTest, EmptyStartupTaskFailsTheStart)
{
    EXPECT_THROW(start({SkinStartupTask()}), std::bad_function_call);
}

TEST_F(SkinTest, AddsTheSkinFolderToTheSearchPaths)
{
    start();
    EXPECT_EQ(Res::instance()->search_paths().back(), "data/skin/");
}

TEST_F(SkinTest, ShutdownUnloadsTheDocuments)
{
    write("a.sdt", "a 1\n");
    start({make_skin_document_task("a.sdt")});
    const auto documents = [] {
        const auto& table = Res::instance()->table();
        auto found = table.find(type_name<SkinDocument>());
        return found == table.end() ? 0u : found->second.size();
    };
    EXPECT_EQ(documents(), 1u);
    stop_skin_service();
    EXPECT_EQ(documents(), 0u);
}

TEST_F(SkinTest, ShutdownStoresTheDocumentsMarkedForIt)
{
    write("a.sdt", "a 1 // written by hand\n");
    write("b.sdt", "b 2 // written by hand\n");
    start({[] { Skin::running().attach_document(ResHandle<SkinDocument>(ResKey{"a.sdt", 1})); },
           make_skin_document_task("b.sdt")});
    stop();
    std::ifstream a(m_dir.str() + "a.sdt");
    std::ifstream b(m_dir.str() + "b.sdt");
    const std::string stored((std::istreambuf_iterator<char>(a)), {});
    const std::string kept((std::istreambuf_iterator<char>(b)), {});
    EXPECT_EQ(stored.find("by hand"), std::string::npos) << stored;
    EXPECT_NE(stored.find("a [1]"), std::string::npos) << stored;
    EXPECT_NE(kept.find("by hand"), std::string::npos) << kept;
    EXPECT_FALSE(test::has_temporary_file(m_dir.str()));
}

}
}
