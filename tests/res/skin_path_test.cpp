#include <gtest/gtest.h>

#include <vector>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_path.h"
#include "skin_path_print.h"

namespace kq {
namespace {

std::vector<std::string> names_of(const SkinPath& path)
{
    std::vector<std::string> names;
    for (StrCache name : path)
        names.push_back(name.c_str());
    return names;
}

TEST(SkinPath, ParsesNamesBetweenDots)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> names;
        bool relative;
    };
    const Case cases[] = {
        {"vimo.window", {"vimo", "window"}, false},
        {"", {}, false},
        {".a", {"", "a"}, true},
        {"a..b", {"a", "", "b"}, false},
        {"a.", {"a"}, false},
        {".", {""}, true},
        {"Az_09`z", {"Az_09`z"}, false},
    };
    for (const Case& c : cases) {
        SkinPath path(c.text);
        EXPECT_EQ(names_of(path), c.names) << c.text;
        EXPECT_EQ(path.is_relative(), c.relative) << c.text;
    }
}

TEST(SkinPath, RejectsCharactersOutsideItsAlphabet)
{
    for (const char* text : {"a b", "a-b", "a/b", "a{", "\xC3\xA9"}) {
        try {
            SkinPath path(text);
            ADD_FAILURE() << text;
        } catch (const CoreException& e) {
            EXPECT_EQ(e.message(), "invalid path [" + std::string(text) + "] format");
        }
    }
}

TEST(SkinPath, ResolvesAgainstABase)
{
    struct Case
    {
        const char* path;
        const char* base;
        const char* expected;
    };
    const Case cases[] = {
        {"", "a.b", "a.b"},
        {".c", "a.b", "a.b.c"},
        {"x.y", "a.b", "x.y"},
        {"..c", "a", "a..c"},
        {".", "a", "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SkinPath(c.path).resolve(SkinPath(c.base)), SkinPath(c.expected)) << c.path;
        SkinPath base(c.base);
        resolve_in_place(SkinPath(c.path), base);
        EXPECT_EQ(base, SkinPath(c.expected)) << c.path;
    }
}

TEST(SkinPath, MovesToTheHeapPast32NamesAndBack)
{
    SkinPath path;
    for (int i = 0; i < 33; ++i)
        path.insert(path.size(), StrCache(std::to_string(i).c_str()));
    ASSERT_EQ(path.size(), 33u);
    EXPECT_TRUE(path.on_heap());
    for (int i = 0; i < 33; ++i)
        EXPECT_STREQ(path[i].c_str(), std::to_string(i).c_str());
    SkinPath copy(path);
    EXPECT_EQ(copy, path);
    EXPECT_TRUE(copy.on_heap());
    path.resize(0);
    EXPECT_FALSE(path.on_heap());
    EXPECT_TRUE(path.empty());
}

TEST(SkinPath, InsertsAndErases)
{
    SkinPath path("a.b");
    path.insert(0, StrCache("x"));
    EXPECT_EQ(path, SkinPath("x.a.b"));
    SkinPath relative(".a.b");
    relative.erase(0);
    EXPECT_EQ(relative, SkinPath("a.b"));
    EXPECT_FALSE(relative.is_relative());
    relative.resize(3);
    EXPECT_EQ(relative, SkinPath("a.b.."));
    EXPECT_EQ(relative.size(), 3u);
    EXPECT_TRUE(relative[2].empty());
}

TEST(SkinPath, CombinesAndCompares)
{
    EXPECT_EQ(SkinPath("a") + SkinPath("b.c"), SkinPath("a.b.c"));
    EXPECT_EQ(SkinPath("a") + "b.c", SkinPath("a.b.c"));
    EXPECT_EQ(SkinPath(SkinPath("a"), StrCache("b")), SkinPath("a.b"));
    EXPECT_EQ(sub_path(SkinPath("a.b.c.d"), 1, 2), SkinPath("b.c"));
    EXPECT_TRUE(SkinPath("a.b.c").starts_with(SkinPath("a.b")));
    EXPECT_FALSE(SkinPath("a.b").starts_with(SkinPath("a.b.c")));
    EXPECT_TRUE(SkinPath("a") < SkinPath("a.b"));
    EXPECT_FALSE(SkinPath("a.b") < SkinPath("a"));
    EXPECT_NE(SkinPath("a.b") < SkinPath("a.c"), SkinPath("a.c") < SkinPath("a.b"));
}

TEST(SkinPath, TextFormReadsBack)
{
    for (const char* text : {"vimo.window", ".m", "a..b", ""}) {
        StringStream out;
        out << SkinPath(text);
        EXPECT_EQ(out.str(), text);
        EXPECT_EQ(SkinPath(text).text(), text);
    }
    StringStream in("vimo.window next");
    SkinPath path;
    in >> path;
    EXPECT_EQ(path, SkinPath("vimo.window"));
    EXPECT_EQ(in.peek_token(), "next");
}

TEST(SkinPath, BadTokenIsAStreamError)
{
    StringStream in("\n\"a b\"");
    SkinPath path;
    try {
        in >> path;
        FAIL();
    } catch (const IOException& e) {
        EXPECT_NE(std::string(e.what()).find("at line 2) invalid path [a b] format"), std::string::npos) << e.what();
    }
}

}
}
