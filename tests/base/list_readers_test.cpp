#include "engine/base/list_readers.h"

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

using Points = std::vector<Vector2<float>>;

TEST(ListReaders, PointList)
{
    struct Case {
        const char* text;
        Points expected;
    };
    const Case cases[] = {
        {"{}", {}},
        {"{ (1, 2) (3.5,-4) }", {{1, 2}, {3.5f, -4}}},
        {"{\r\n  (0, 0)\r\n}", {{0, 0}}},
        // Whatever opens the list is taken as its opening.
        {"( (1, 2) }", {{1, 2}}},
        {"points (5, 6) }", {{5, 6}}},
    };
    for (const Case& c : cases) {
        StringStream in(c.text);
        Points points{{9, 9}};
        read_point_list(in, points);
        EXPECT_EQ(points, c.expected) << c.text;
        EXPECT_TRUE(in.is_eof());
    }
}

TEST(ListReaders, PointLists)
{
    StringStream in("{ {(1,2)} {} {(3,4) (5,6)} } next");
    std::vector<Points> lists{{{7, 7}}};
    read_point_lists(in, lists);
    const std::vector<Points> expected{{{1, 2}}, {}, {{3, 4}, {5, 6}}};
    EXPECT_EQ(lists, expected);
    EXPECT_EQ(in.peek_token(), "next");
}

TEST(ListReaders, NameIntMap)
{
    for (const char* text : {"{ one, 1 two, 10h \"three words\", -3 }", "( one, 1 two, 10h \"three words\", -3 }"}) {
        StringStream in(text);
        std::map<std::string, int> map{{"kept", 5}};
        read_name_int_map(in, map);
        const std::map<std::string, int> expected{{"kept", 5}, {"one", 1}, {"two", 16}, {"three words", -3}};
        EXPECT_EQ(map, expected) << text;
    }
}

TEST(ListReaders, BrokenListsFailWithStreamErrors)
{
    struct Case {
        const char* text;
        const char* message_end;
    };
    const Case cases[] = {
        {"{ (1, 2)", "unexcepted end of file reached."},
        {"(1, 2) }", "unexpected symbol '1', must be '('."},
        {"{ (1 2) }", "unexpected symbol '2', must be ','."},
        {"", "unexcepted end of file reached."},
    };
    for (const Case& c : cases) {
        StringStream in(c.text);
        Points points;
        try {
            read_point_list(in, points);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const IOException& error) {
            const std::string text = error.what();
            EXPECT_TRUE(text.ends_with(c.message_end)) << text;
        }
    }

    StringStream unclosed("{ a, 1");
    std::map<std::string, int> map;
    EXPECT_THROW(read_name_int_map(unclosed, map), IOException);
}

}
}
