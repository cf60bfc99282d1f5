#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "engine/base/math_utils.h"
#include "engine/base/random.h"
#include "engine/platform/texture.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/objects/vimu.h"
#include "game/field/skin_description.h"
#include "tests/base/log_capture.h"
#include "tests/shell/data_tree.h"
#include "tests/shell/first_profile.h"

namespace kq {
namespace {

using test::FirstProfile;

// The game's data tree with a renderer on a device that keeps its textures in memory.
class MissionData : public testing::Test
{
protected:
    test::DataTreeRenderer m_data{"kq_mission_test_"};
    FirstProfile m_game;
};

TEST_F(MissionData, TheFirstMissionBuildsItsWallsPiecesAndIdol)
{
    random_seed(1);
    Field field(FieldSettings{}, m_game);
    field.read_skin(SkinPath("missions.chapter1.mission1"));

    std::map<std::string, int> kinds;
    for (const SharedPtr<Item>& item : field.items())
        ++kinds[item->skin_path().text()];
    EXPECT_EQ(kinds["missions.chapter1.mission1.top"] + kinds["missions.chapter1.mission1.bottom"] +
                  kinds["missions.chapter1.mission1.left"] + kinds["missions.chapter1.mission1.right"],
              4);
    EXPECT_EQ(kinds["items.vimu_red"] + kinds["items.vimu_yellow"] + kinds["items.vimu_blue"], 18);
    EXPECT_EQ(kinds["items.vimu_red"], 9) << "the bank deals its two kinds evenly";
    EXPECT_EQ(field.pieces().size(), 18u);
    // Red and blue, no yellow.
    for (int gen = 1; gen <= 3; ++gen)
        EXPECT_EQ(field.pieces().count(gen), gen == 2 ? 0u : 9u) << gen;
    EXPECT_EQ(field.creatable().size(), 3u);
    const Item& first = *field.pieces().begin()->second;
    ResHandle<Texture> image = first.base().texture;
    ASSERT_NE(image.get(), nullptr) << "the piece's image";
    // The piece shows its whole image, which is made at the piece's size.
    const Texture& texture = *image.get();
    EXPECT_EQ(texture.image_width(), int(first.size().x));
    const Rect whole = texture.rect_to_uv(RectI{0, 0, texture.image_width(), texture.image_height()});
    EXPECT_FLOAT_EQ(first.base().rect.x, whole.x);
    EXPECT_FLOAT_EQ(first.base().rect.y, whole.y);
    EXPECT_FLOAT_EQ(first.base().rect.w, whole.w);
    EXPECT_FLOAT_EQ(first.base().rect.h, whole.h);
    // Every kind draws from one atlas page, so the pieces draw without changing textures.
    for (const auto& [gen, piece] : field.pieces()) {
        ResHandle<Texture> other = piece->base().texture;
        EXPECT_EQ(other.get()->handle(), texture.handle()) << "gen " << gen;
    }
    ASSERT_EQ(field.idols().size(), 1u);
    EXPECT_NE(dynamic_cast<CreationIdol*>(field.idols()[0].get()), nullptr);

    // The walls hold the pieces: a hard shot stays on the field.
    Item* piece = field.pieces().begin()->second;
    ASSERT_TRUE(field.on_press(piece->position()));
    field.set_aim_point({piece->position().x - 100, piece->position().y});
    field.update_aim_point();
    field.launch();
    EXPECT_EQ(field.meter(), 300000 - 30 * 500);
    for (int t = 0; t < 3000; t += 20)
        field.update(20);
    for (const SharedPtr<Item>& item : field.items()) {
        const Vector2<float> p = item->position();
        EXPECT_TRUE(p.x > 0 && p.x < 1024 && p.y > 0 && p.y < 768) << item->skin_path().text();
    }
}

// Every effect and item the field makes in play is described in the tree, loads cleanly and
// plays a few seconds on a field.
TEST_F(MissionData, EveryDescriptionTheFieldMakesInPlayIsInTheTree)
{
    test::LogCapture log;
    for (const char* path :
         {"effects.floating_text", "effects.vimu_explosion", "effects.bolt_strike", "effects.shock_wave",
          "effects.magic_dust", "effects.splinter", "effects.bonus_bring", "effects.spirit_explore",
          "effects.treasure_disappear", "effects.adobe_destroy", "effects.rocket_explode",
          "effects.roller_head_explore", "effects.coin_powerup", "effects.clock_powerup",
          "effects.hand_powerup", "effects.fireball_powerup", "effects.bolt_powerup", "effects.base_powerup",
          "items.magnet.force_sprite"}) {
        const SharedPtr<Sprite> sprite(clone_described(SkinPath(path)));
        EXPECT_NE(sprite.get(), nullptr) << path;
    }
    Field field(FieldSettings{}, m_game);
    field.read_skin(SkinPath("missions.chapter1.mission1"));
    for (const char* path : {"items.fireball", "items.silence_fireball", "items.dragonfly", "items.cloud",
                             "items.jewel1", "items.jewel2", "items.jewel3", "items.spirit1", "items.spirit2",
                             "items.spirit3", "items.magnet"}) {
        Item* item = create_described<Item>(SkinPath(path));
        ASSERT_NE(item, nullptr) << path;
        field.add_item(item, ItemPlacement{{512, 400}, 0.0f});
    }
    for (int t = 0; t < 3000; t += 20)
        field.update(20);
    field.end_turn();
    field.update(20);
    EXPECT_EQ(log.text("error").find("  File "), std::string::npos) << log.text("error");
}

// The first profile with every option that shows more on the field: effects, extra points
// and gained powerups flying in.
struct ShowingProfile : FirstProfile
{
    bool effects_on() const override { return true; }
    bool extra_points() const override { return true; }
    bool animated_powerups() const override { return true; }
};

bool is_finite(const Vector2<float>& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// Presses at the point, drags by the offset (the pointer staying on the screen) and lets go,
// as the game frame does.
void drag(Field& field, const Vector2<float>& from, const Vector2<float>& by)
{
    if (!field.on_press(from))
        return;
    field.set_aim_point({std::clamp(from.x + by.x, 0.0f, 1023.0f), std::clamp(from.y + by.y, 0.0f, 767.0f)});
    field.update_aim_point();
    field.launch();
}

Vector2<float> random_point(float x0, float y0, float x1, float y1)
{
    return {x0 + random_float(x1 - x0), y0 + random_float(y1 - y0)};
}

// Seeded random shots in every mode on the first mission, each followed by a second and a
// half of play: nothing throws, nothing is logged as an error, nothing turns into NaN, and no
// piece leaves the walled yard. A lost or skipped mission starts again.
TEST_F(MissionData, RandomShotsInEveryModePlayTheFirstMissionCleanly)
{
    ShowingProfile game;
    test::LogCapture log;
    random_seed(42);
    const auto new_field = [&game] {
        auto field = std::make_unique<Field>(FieldSettings{{}, {1, 50, 50, 50, 50}}, game);
        field->read_skin(SkinPath("missions.chapter1.mission1"));
        return field;
    };
    std::unique_ptr<Field> field = new_field();
    constexpr int shots = 300;
    for (int shot = 0; shot < shots; ++shot) {
        SCOPED_TRACE(testing::Message() << "shot " << shot);
        if (field->game_state() != GameState::running)
            field = new_field();
        const auto& pieces = field->pieces();
        const Vector2<float> target =
            pieces.empty() ? random_point(60, 60, 960, 700)
                           : std::next(pieces.begin(), random_int(int(pieces.size())))->second->position();
        const Vector2<float> pull = Vector2<float>::from_polar(random_float(6.2831853f), 10.0f + random_float(140.0f));
        // Mostly plain shots; then each powerup, and the coin once at the end.
        const int mode = shot == shots - 1 ? 5 : random_int(8);
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        ASSERT_NO_THROW({
            switch (mode) {
            case 1:
                field->select_powerup(Powerup::hand);
                drag(*field, target, pull);
                field->set_state(GameMode::aim);
                break;
            case 2:
                field->select_powerup(Powerup::clock);
                for (int strike = 0; strike < 3 && field->mode() == GameMode::strikes && !pieces.empty(); ++strike)
                    drag(*field, std::next(pieces.begin(), random_int(int(pieces.size())))->second->position(), pull);
                field->apply();
                break;
            case 3:
                field->select_powerup(Powerup::fireball);
                drag(*field, random_point(60, 60, 960, 700), pull);
                break;
            case 4:
                field->select_powerup(Powerup::bolt);
                drag(*field, target, pull);
                break;
            case 5:
                field->select_powerup(Powerup::coin);
                break;
            default:
                drag(*field, target, pull);
                break;
            }
            for (int t = 0; t < 1500; t += 20)
                field->update(20);
        });
        EXPECT_EQ(log.text("error").find("  File "), std::string::npos) << log.text("error");
        ASSERT_TRUE(std::isfinite(field->darkness()) && std::isfinite(field->time_factor()));
        for (const SharedPtr<Item>& item : field->items()) {
            ASSERT_TRUE(is_finite(item->position()) && std::isfinite(item->angle())) << item->skin_path().text();
            ASSERT_TRUE(!item->body() || is_finite(item->velocity())) << item->skin_path().text();
        }
        for (const auto& [gen, piece] : pieces) {
            const Vector2<float> p = piece->position();
            EXPECT_TRUE(p.x > 24 && p.x < 1000 && p.y > 24 && p.y < 744) << p.x << ", " << p.y;
        }
        if (HasFatalFailure() || HasFailure())
            break;
    }
}

}
}
