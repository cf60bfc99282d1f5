#include "engine/res/skin_readers.h"

#include <gtest/gtest.h>

#include "engine/base/color.h"
#include "engine/base/exception.h"
#include "engine/res/skin_child_iterator.h"
#include "skin_fixture.h"

namespace kq {
namespace {

class SkinReadersTest : public test::SkinTest
{
protected:
    SkinReadersTest()
    {
        write("v.sdt",
              "v {\n"
              "  hex 10h bin 101b dec 17 yes true no false maybe maybe\n"
              "  f 1.5 notf abc pos [(1.5, 2)] ipos [(10h, 3)]\n"
              "  rgb [(1, 0.5, 0)] rgba [(1, 0.5, 0, 0.25)] name hello ref *.dec\n"
              "  pts [{(1, 2) (3, 4)}]\n"
              "  empty { }\n"
              "  kids { a <x> 1 b 2 c <x> 3 }\n"
              "  more : .kids { d 4 a 5 }\n"
              "}\n");
        start({make_skin_document_task("v.sdt")});
    }
};

TEST_F(SkinReadersTest, ParseTheEvaluatedText)
{
    const auto integer = [](const char* path) {
        int value = 0;
        read_skin_value(SkinPath(path), &value);
        return value;
    };
    EXPECT_EQ(integer("v.hex"), 16);
    EXPECT_EQ(integer("v.bin"), 5);
    EXPECT_EQ(integer("v.dec"), 17);
    EXPECT_EQ(integer("v.ref"), 17);

    bool flag = false;
    read_skin_value(SkinPath("v.yes"), &flag);
    EXPECT_TRUE(flag);
    read_skin_value(SkinPath("v.no"), &flag);
    EXPECT_FALSE(flag);

    std::string text;
    read_skin_value(SkinPath("v.ref"), &text);
    EXPECT_EQ(text, "17");

    float number = 0;
    read_skin_value(SkinPath("v.f"), &number);
    EXPECT_EQ(number, 1.5f);

    Vector2<float> position;
    read_skin_value(SkinPath("v.pos"), &position);
    EXPECT_EQ(position.x, 1.5f);
    EXPECT_EQ(position.y, 2.0f);

    Vector2<int> integer_position;
    read_vector2i(SkinPath("v.ipos"), &integer_position);
    EXPECT_EQ(integer_position.x, 16);
    EXPECT_EQ(integer_position.y, 3);

    Color color;
    read_skin_value(SkinPath("v.rgb"), &color);
    EXPECT_EQ(color.g, 0.5f);
    EXPECT_EQ(color.a, 1.0f);
    read_skin_value(SkinPath("v.rgba"), &color);
    EXPECT_EQ(color.a, 0.25f);

    StrCache name;
    read_interned(SkinPath("v.name"), &name);
    EXPECT_EQ(name, StrCache("hello"));
    read_skin_name(SkinPath("v.dec"), &name);
    EXPECT_EQ(name, StrCache("17"));

    std::vector<Vector2<float>> points = {{9, 9}};
    read_points(SkinPath("v.pts"), &points);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].x, 3.0f);
}

TEST_F(SkinReadersTest, BadTextAndMissingNodesAreErrors)
{
    bool flag = false;
    EXPECT_THROW(read_skin_value(SkinPath("v.maybe"), &flag), IOException);
    float number = 0;
    EXPECT_THROW(read_skin_value(SkinPath("v.notf"), &number), IOException);
    Vector2<float> position;
    EXPECT_THROW(read_skin_value(SkinPath("v.dec"), &position), IOException);
    int integer = 0;
    EXPECT_THROW(read_skin_value(SkinPath("v.none"), &integer), ServiceException);
}

TEST_F(SkinReadersTest, NodeQueries)
{
    EXPECT_TRUE(skin().has_node(SkinPath("v.empty"), false));
    EXPECT_FALSE(skin().has_node(SkinPath("v.empty"), true));
    EXPECT_TRUE(skin().has_node(SkinPath("v.more.b"), true));
    std::vector<StrCache> names = {StrCache("old")};
    skin().enum_ids(SkinPath("v.more"), names, "");
    const std::vector<StrCache> expected = {StrCache("a"), StrCache("b"), StrCache("c"), StrCache("d")};
    EXPECT_EQ(names, expected);
}

TEST_F(SkinReadersTest, ChildIteratorVisitsEachChildWithItsPath)
{
    struct Case
    {
        const char* path;
        const char* id;
        std::vector<std::string> visited;
    };
    const Case cases[] = {
        {"v.kids", "", {"v.kids.a", "v.kids.b", "v.kids.c"}},
        {"v.kids", "x", {"v.kids.a", "v.kids.c"}},
        {"v.more", "", {"v.more.a", "v.more.b", "v.more.c", "v.more.d"}},
        {"v.empty", "", {}},
        {"v.none", "", {}},
    };
    for (const Case& c : cases) {
        SkinChildIterator child(SkinPath(c.path), c.id);
        EXPECT_EQ(child.is_empty(), c.visited.empty());
        std::vector<std::string> visited;
        for (; !child.at_end(); child.next()) {
            visited.push_back(child.path().text());
            EXPECT_EQ(child.name(), child.path()[child.path().size() - 1]);
        }
        EXPECT_EQ(visited, c.visited) << c.path << " " << c.id;
        EXPECT_EQ(child.path().text(), c.path);
    }
}

}
}
