#include "engine/base/auto_stream.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(AutoStream, BindsAndResets)
{
    NullBuffer buffer;
    AutoStream stream(buffer);
    int object = 0;
    EXPECT_EQ(stream.find_id(&object), -1);
    EXPECT_EQ(stream.find_object(0), nullptr);
    const std::int32_t id = stream.new_id();
    EXPECT_EQ(id, 0);
    stream.bind_object(&object, id);
    EXPECT_EQ(stream.find_id(&object), 0);
    EXPECT_EQ(stream.find_object(0), &object);
    EXPECT_EQ(stream.new_id(), 1);
    stream.reset();
    EXPECT_EQ(stream.find_id(&object), -1);
    EXPECT_EQ(stream.find_object(0), nullptr);
    EXPECT_EQ(stream.new_id(), 0);
}

}
}
