#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/field/field.h"
#include "game/field/idols/idol.h"
#include "tests/field/item_fixture.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// An idol that counts its mood changes.
struct MoodProbe : Idol
{
    void mood_changed(IdolMood old_mood, IdolMood new_mood) override
    {
        Idol::mood_changed(old_mood, new_mood);
        changes.emplace_back(old_mood, new_mood);
    }
    void attached() override { ++attachments; }
    void give_rainbow() { m_rainbow = SharedPtr<ImageSprite>(new ImageSprite); }

    std::vector<std::pair<IdolMood, IdolMood>> changes;
    int attachments = 0;
};

using Changes = std::vector<std::pair<IdolMood, IdolMood>>;

std::size_t children(Sprite& sprite)
{
    std::size_t n = 0;
    sprite.for_each_child([&n](Sprite*) { ++n; }, false);
    return n;
}

TEST(Idol, MoodChangesOnceAndStaysGoodOnceLocked)
{
    test::FakeGame game;
    Field field(FieldSettings{}, game);
    MoodProbe idol;
    idol.give_rainbow();
    idol.set_field(&field);
    EXPECT_EQ(idol.attachments, 1);

    idol.set_mood(IdolMood::bad);
    idol.set_mood(IdolMood::bad);
    EXPECT_EQ(idol.changes, (Changes{{IdolMood::normal, IdolMood::bad}})) << "the same mood twice tells once";

    idol.set_mood(IdolMood::good);
    EXPECT_EQ(children(field.effect_layer()), 1u) << "a good mood shows the rainbow";
    idol.lock_good_mood();
    EXPECT_EQ(idol.changes.size(), 2u) << "locking a good idol tells nothing";
    EXPECT_TRUE(idol.is_mood_locked());
    idol.set_mood(IdolMood::bad);
    EXPECT_EQ(idol.mood(), IdolMood::good);
    EXPECT_EQ(children(field.effect_layer()), 1u) << "the rainbow is shown once";
}

TEST(Idol, LockingMakesTheMoodGoodFirst)
{
    MoodProbe idol;
    idol.lock_good_mood();
    EXPECT_EQ(idol.changes, (Changes{{IdolMood::normal, IdolMood::good}}));
    EXPECT_TRUE(idol.is_mood_locked()) << "and without a field or a rainbow nothing is shown";
}


TEST(Idol, WithoutARainbowNodeAGoodMoodShowsNothing)
{
    auto skin = test::piece_skin("", R"(
        plain { sprite : image_keys { } }
        glad { sprite : image_keys { } rainbow "class kq::ImageSprite" : image_keys { size [(10, 10)] } }
    )");
    test::FakeGame game;
    Field field(FieldSettings{}, game);
    MoodProbe plain;
    ASSERT_NO_THROW(plain.read_skin(SkinPath("plain")));
    EXPECT_FALSE(plain.rainbow());
    plain.set_field(&field);
    plain.lock_good_mood();
    EXPECT_EQ(children(field.effect_layer()), 0u);

    MoodProbe glad;
    glad.read_skin(SkinPath("glad"));
    ASSERT_TRUE(glad.rainbow());
    glad.set_field(&field);
    glad.set_mood(IdolMood::good);
    EXPECT_EQ(children(field.effect_layer()), 1u);
}

}
}
