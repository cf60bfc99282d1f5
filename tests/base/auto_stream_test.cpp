#include "engine/base/auto_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

TEST(AutoStream, FindsEveryBindingWheneverItWasMade)
{
    NullBuffer buffer;
    AutoStream stream(buffer);
    int a = 0, b = 0, c = 0;
    stream.bind_object(&a, stream.new_id());
    EXPECT_EQ(stream.find_id(&a), 0);
    stream.bind_object(&b, stream.new_id());
    EXPECT_EQ(stream.find_id(&b), 1);
    stream.bind_object(&c, 0);  // an id already looked through
    EXPECT_EQ(stream.find_id(&c), 0);
    EXPECT_EQ(stream.find_object(0), &c);
    EXPECT_EQ(stream.find_object(2), nullptr);
    EXPECT_EQ(stream.find_object(-1), nullptr);
    EXPECT_THROW(stream.bind_object(&a, 5), std::out_of_range);
}

}
}
