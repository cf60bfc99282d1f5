#include "engine/res/adv_skin_io.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(AdvSkinIO, RemembersThePathItWasReadFrom)
{
    AdvSkinIO object;
    EXPECT_TRUE(object.skin_path().empty());
    load_from_skin(object, SkinPath("field.items.rock"));
    EXPECT_EQ(object.skin_path().text(), "field.items.rock");
    object.read_skin(object.skin_path());
    EXPECT_EQ(object.skin_path().text(), "field.items.rock");
}

}
}
