#include "engine/base/four_points.h"

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

namespace kq {
namespace {

TEST(FourPoints, ReadsAQuad)
{
    StringStream stream("((0, 0), (1.5, 0), (1.5, -2), (0, -2)) next");
    std::array<Vector2<float>, 4> points;
    read_four_points(stream, points);
    const std::array<Vector2<float>, 4> expected = {{{0, 0}, {1.5f, 0}, {1.5f, -2}, {0, -2}}};
    EXPECT_EQ(points, expected);
    EXPECT_TRUE(stream.token_is("next"));
}

TEST(FourPoints, MissingCommaFails)
{
    StringStream stream("((0,0) (1,0),(1,1),(0,1))");
    std::array<Vector2<float>, 4> points;
    try {
        read_four_points(stream, points);
        ADD_FAILURE() << "read";
    } catch (const IOException& error) {
        EXPECT_NE(std::string(error.what()).find("unexpected symbol '(', must be ','."), std::string::npos);
    }
}

}
}
