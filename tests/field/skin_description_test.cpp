#include <gtest/gtest.h>

#include <string>

#include "game/field/field.h"
#include "game/field/skin_description.h"
#include "item_fixture.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::ProbeItem;

int count_of(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(SkinDescription, AMissingDescriptionIsLoggedOnceAndSkipped)
{
    auto skin = test::item_skin(std::string(test::sprite_defaults) +
                                R"(effects { glow "class kq::Sprite" : sprite_keys { } blank "" })");
    test::LogCapture log;
    EXPECT_TRUE(is_described(SkinPath("effects.glow")));
    SharedPtr<Sprite> glow(clone_described(SkinPath("effects.glow")));
    EXPECT_NE(glow.get(), nullptr);
    EXPECT_EQ(clone_described(SkinPath("effects.blank")), nullptr) << "an empty description shows nothing";
    EXPECT_EQ(log.text("error").find("effects.blank"), std::string::npos) << "and is no fault";

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(clone_described(SkinPath("effects.lost_glow")), nullptr);
        EXPECT_EQ(create_described<Item>(SkinPath("items.lost_piece")), nullptr);
    }
    EXPECT_EQ(count_of(log.text("error"), "Nothing is described at [effects.lost_glow]; skipped"), 1);
    EXPECT_EQ(count_of(log.text("error"), "Nothing is described at [items.lost_piece]; skipped"), 1);
}

// The field in play on a skin that describes none of its effects and none of the items it
// makes: every step that would show or make one goes on without it.
TEST(SkinDescription, PlayGoesOnWithoutTheDescriptionsItReaches)
{
    auto skin = test::item_skin(R"(
        items { plain "class kq::Item" : item_keys { } }
    )");
    test::FakeGame game;
    game.dragonfly = true;
    Field field(FieldSettings{{}, {0, 0, 0, 1, 1}}, game);
    EXPECT_TRUE(field.items().empty()) << "no dragonfly described";

    auto* item = new ProbeItem;
    item->read_skin(SkinPath("items.plain"));
    field.add_item(item, {{300, 200}, 0});
    item->add_points(3, {"Combo", {1, 0, 0, 1}});
    EXPECT_NO_THROW(item->destroy_body()) << "a caption without its floating text";
    EXPECT_TRUE(item->captions().empty());
    EXPECT_NO_THROW(field.floating_text({10, 20}, "text", {1, 1, 1, 1}));
    EXPECT_NO_THROW(field.spawn_effect(SkinPath("effects.bolt_strike"), {10, 20}, {1, 1, 1, 1}));
    EXPECT_TRUE(field.layer(3).children().empty());
    EXPECT_TRUE(field.effect_layer().children().empty());

    field.select_powerup(Powerup::fireball);
    ASSERT_EQ(field.mode(), GameMode::fireball);
    bool pressed = true;
    EXPECT_NO_THROW(pressed = field.on_press({400, 300}));
    EXPECT_FALSE(pressed) << "no fireball to place";
    EXPECT_EQ(field.placed_item(), nullptr);

    field.select_powerup(Powerup::bolt);
    EXPECT_NO_THROW(field.on_press({400, 300}));
    EXPECT_NO_THROW(field.create_jewel({400, 300}));
    EXPECT_NO_THROW(field.produce_item(SkinPath("items.lost")));
    EXPECT_NO_THROW(field.update(10));
}

}
}
