#include "engine/base/vector_d.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kq {
namespace {

// The drawing batch's 160-byte record: one fits inline.
struct Quad {
    std::uint8_t bytes[160];
};

TEST(VectorD, InlineRoom)
{
    EXPECT_EQ(VectorD<float>::inline_room, 4u);
    EXPECT_EQ(VectorD<std::uint8_t>::inline_room, 16u);
    EXPECT_EQ(VectorD<Quad>::inline_room, 1u);
}

TEST(VectorD, ResizeKeepsAndZeroFills)
{
    struct Case {
        std::uint32_t from;
        std::uint32_t to;
        bool inline_after;
    };
    const Case cases[] = {
        {4, 10, true},
        {4, 16, true},
        {4, 17, false},
        {20, 40, false},
        {20, 5, false},  // shrinking keeps the block until the size reaches 0
        {20, 0, true},
        {0, 0, true},
    };
    for (const Case& c : cases) {
        VectorD<std::uint8_t> v;
        v.resize(c.from);
        for (std::uint32_t i = 0; i < c.from; ++i)
            v[i] = static_cast<std::uint8_t>(i + 1);
        v.resize(c.to);
        EXPECT_EQ(v.size(), c.to);
        EXPECT_EQ(v.is_inline(), c.inline_after) << c.from << " -> " << c.to;
        for (std::uint32_t i = 0; i < c.to; ++i)
            EXPECT_EQ(v[i], i < c.from ? i + 1 : 0u) << c.from << " -> " << c.to << " at " << i;
    }
}

TEST(VectorD, GrowsPastItsInlineRoom)
{
    VectorD<float> v;
    for (std::uint32_t n = 1; n <= 9; ++n) {
        v.resize(n);
        v[n - 1] = static_cast<float>(n);
        EXPECT_EQ(v.is_inline(), n <= 4) << n;
    }
    for (std::uint32_t i = 0; i < 9; ++i)
        EXPECT_EQ(v[i], static_cast<float>(i + 1));

    VectorD<float> copy(v);
    EXPECT_NE(copy.data(), v.data());
    EXPECT_EQ(copy.size(), 9u);
    EXPECT_EQ(copy[8], 9.0f);

    VectorD<float> small;
    small.resize(2);
    small[1] = 5;
    copy = small;
    EXPECT_EQ(copy.size(), 2u);
    EXPECT_TRUE(copy.is_inline());
    EXPECT_EQ(copy[1], 5.0f);

    v.clear();
    EXPECT_TRUE(v.is_inline());
    EXPECT_TRUE(v.empty());
}

TEST(VectorD, ReserveKeepsTheElements)
{
    VectorD<std::uint8_t> v;
    v.reserve(8);
    EXPECT_TRUE(v.is_inline());
    v.resize(3);
    v[2] = 9;
    v.reserve(100);
    EXPECT_FALSE(v.is_inline());
    EXPECT_EQ(v.size(), 3u);
    EXPECT_EQ(v[2], 9);
}

TEST(VectorD, MakeRoomInsertsASlot)
{
    struct Case {
        std::uint32_t position;
        std::vector<int> expected;
    };
    const Case cases[] = {{0, {9, 1, 2, 3}}, {1, {1, 9, 2, 3}}, {3, {1, 2, 3, 9}}};
    for (const Case& c : cases) {
        VectorD<Quad> quads;
        for (int value : {1, 2, 3}) {
            quads.make_room(quads.size());
            quads[quads.size() - 1].bytes[0] = static_cast<std::uint8_t>(value);
            quads[quads.size() - 1].bytes[159] = static_cast<std::uint8_t>(value);
        }
        quads.make_room(c.position);
        quads[c.position].bytes[0] = 9;
        quads[c.position].bytes[159] = 9;
        ASSERT_EQ(quads.size(), c.expected.size());
        for (std::uint32_t i = 0; i < quads.size(); ++i) {
            EXPECT_EQ(quads[i].bytes[0], c.expected[i]) << "insert at " << c.position;
            EXPECT_EQ(quads[i].bytes[159], c.expected[i]);
        }
    }
}

}
}
