#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/base/random.h"
#include "engine/platform/texture.h"
#include "engine/res/skin.h"
#include "game/field/creation_idol.h"
#include "game/field/field.h"
#include "game/field/vimu.h"
#include "tests/shell/data_tree.h"

namespace kq {
namespace {

// A game of the first profile: easy, no trophies, effects off.
struct FirstProfile : FieldGame
{
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(StrCache, const Vector2<int>&) override {}
    Vector2<float> pick_area_point(const std::vector<Rect>& areas) override
    {
        return areas.empty() ? Vector2<float>{} : Vector2<float>{areas[0].x, areas[0].y};
    }
    int difficulty() const override { return 0; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return false; }
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override { return progress / 1000; }
};

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
    EXPECT_EQ(kinds["items.vimu_red"] + kinds["items.vimu_yellow"] + kinds["items.vimu_blue"], 12);
    EXPECT_EQ(kinds["items.vimu_red"], 4) << "the bank deals its three kinds evenly";
    EXPECT_EQ(field.pieces().size(), 12u);
    for (int gen = 1; gen <= 3; ++gen)
        EXPECT_EQ(field.pieces().count(gen), 4u) << gen;
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

}
}
