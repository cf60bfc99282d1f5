#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawn_quads.h"
#include "engine/base/class_desc.h"
#include "game/field/field.h"
#include "game/field/idols/idol.h"
#include "item_fixture.h"
#include "tests/art/art_res_support.h"

namespace kq::test {

/// The plainest idol: a figure and nothing more.
struct FigureIdol : Idol
{
};

}

KQ_TYPE_NAME(kq::test::FigureIdol, "class kq::test::FigureIdol");

namespace kq {
namespace {

using test::DrawnQuad;
using test::drawn_quads;
using test::PlainTexture;
using test::probe;
using test::ProbeItem;

// A mission with a background, an idol and a darkening, every sprite 64 x 64 texels of its
// own texture.
const char* const mission_skin = R"(
    sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(64, 64)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 96 }
    image_keys : sprite_keys { texture "" placement texel tbegin [(0, 0)] tsize [(64, 64)]
        secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(0, 0)] }
    text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
    mission {
        bonuses { vimoes_per_bonus 3 }
        max_meter 200 start_meter 70 throw_difficulty [(1, 2, 3)] time_difficulty [(4, 5, 6)]
        initial_bonuses [{ }] area [{ ((0, 0), (1024, 768)) }] vimu_production_area [{ }]
        danger_sample "" end_danger_sample "" bowl_sample "" time_start_sample "" time_stop_sample ""
        back "class kq::ImageSprite" : image_keys { texture "back.png" }
        accuracy : image_keys { } arrow_head : image_keys { } arrow_tail : image_keys { }
        friction_coefficient 1 dark true darkening : image_keys { texture "dark.png" }
        launch_nember : text_keys { }
        figure <idol> "class kq::test::FigureIdol" {
            present true sprite : image_keys { texture "idol.png" } rainbow ""
        }
        absent <idol> "class kq::test::FigureIdol" { present false }
    }
)";

// Texture handles: items 1 to 4, background 10, layers 20 to 22, idol 30, darkening 40.
class FieldDraw : public testing::Test
{
protected:
    FieldDraw()
    {
        static const bool registered = [] {
            rtti::ClassDesc<test::FigureIdol>::instance().add_base<Idol>();
            return true;
        }();
        (void)registered;
        for (int handle = 1; handle <= 4; ++handle)
            texture("item" + std::to_string(handle) + ".png", TextureHandle(handle));
        texture("back.png", 10);
        texture("idol.png", 30);
        texture("dark.png", 40);
        for (int i = 0; i < 3; ++i) {
            const std::string name = "layer" + std::to_string(i) + ".png";
            texture(name, TextureHandle(20 + i));
            SharedPtr<ImageSprite> marker(new ImageSprite);
            marker->set_texture(ResHandle<Texture>(ResKey{name, 0}));
            m_field.layer(i).add_child(SharedPtr<Sprite>(marker));
        }
        m_artist.begin_scene();
    }

    void texture(const std::string& name, TextureHandle handle)
    {
        m_resources.add(name, SharedPtr<Texture>(new PlainTexture(handle, 64, 64)));
    }

    void load()
    {
        auto skin = test::item_skin(mission_skin);
        m_field.read_skin(SkinPath("mission"));
    }

    // An item of base texture item<n>.png at the height.
    ProbeItem* add(int n, float height, Vector2<float> position = {100, 100})
    {
        ProbeItem* item = probe("size [(20, 20)] base_texture \"item" + std::to_string(n) + ".png\" height " +
                                std::to_string(height));
        m_field.add_item(item, {position, 0});
        return item;
    }

    // What the field drew, quad by quad: the texture handle, "s" after it for a silhouette.
    std::vector<std::string> drawn()
    {
        m_field.draw(m_artist);
        std::vector<std::string> out;
        for (const DrawnQuad& quad : drawn_quads(m_artist))
            out.push_back(std::to_string(quad.texture) + (quad.channel(0, 2) == 0.0f ? "s" : ""));
        return out;
    }

    test::TestResources m_resources;
    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
    test::RecordingArtist m_artist;
};

using Names = std::vector<std::string>;

TEST_F(FieldDraw, ItemsLandInThePassesOfTheirHeightsAroundTheLayersAndTheIdols)
{
    load();
    ASSERT_EQ(m_field.idols().size(), 1u) << "an idol that is not present is not made";
    EXPECT_EQ(m_field.idols()[0]->field(), &m_field);
    add(4, 10.5f);
    add(3, 5.0f);
    add(2, 0.0f);
    add(1, -0.1f);

    // Below ground no shadow; each run's shadow before its body; the darkening last.
    EXPECT_EQ(drawn(), (Names{"10", "1", "20", "30", "2s", "2", "21", "3s", "3", "22", "4s", "4", "40"}));
}

TEST_F(FieldDraw, ARunOfEqualHeightCastsAllItsShadowsBeforeAnyBody)
{
    add(1, 0.0f, {100, 100});
    add(2, 0.0f, {110, 100});
    add(3, 0.05f, {120, 100});
    // The higher item's shadow falls over the lower items' bodies.
    EXPECT_EQ(drawn(), (Names{"20", "1s", "2s", "1", "2", "3s", "3", "21", "22"}));
}

TEST_F(FieldDraw, WhileTheGameShowsAnOverlayNoItemIsDrawnButAllElseIs)
{
    load();
    add(1, 0.0f);
    add(2, 12.0f);
    m_game.overlays = 1;
    EXPECT_EQ(drawn(), (Names{"10", "20", "30", "21", "22", "40"}));
    m_game.overlays = 0;
    EXPECT_EQ(drawn().size(), 10u);
}

TEST_F(FieldDraw, DarknessHalvesGreenAndBlueOfEverythingAndTheDarkeningFollowsTheLight)
{
    load();
    add(1, 0.0f);
    m_field.set_light_point({100, 50});
    m_field.set_game_state(GameState::fail);
    m_field.update(1000);
    ASSERT_FLOAT_EQ(m_field.darkness(), 1.0f);

    m_field.draw(m_artist);
    const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
    ASSERT_FALSE(quads.empty());
    for (const DrawnQuad& quad : quads) {
        if (quad.channel(0, 2) == 0.0f)
            continue;  // a silhouette is black anyway
        EXPECT_NEAR(quad.channel(0, 2), 1.0f, 1.0f / 255) << "texture " << quad.texture;
        EXPECT_NEAR(quad.channel(0, 1), 0.5f, 1.0f / 255) << "texture " << quad.texture;
        EXPECT_NEAR(quad.channel(0, 0), 0.5f, 1.0f / 255) << "texture " << quad.texture;
    }
    // The darkening's centre texel (32, 32) lies on the light point.
    const DrawnQuad& darkening = quads.back();
    ASSERT_EQ(darkening.texture, 40u);
    EXPECT_FLOAT_EQ(darkening.v[0].tu, (32.0f - 100) / 64);
    EXPECT_FLOAT_EQ(darkening.v[0].tv, (32.0f - 50) / 64);
}

TEST_F(FieldDraw, OnADarkFieldShadowsFallAwayFromTheLight)
{
    load();
    ASSERT_TRUE(m_field.is_dark());
    m_field.set_light_point({100, 100});
    struct Case {
        Vector2<float> at;
        float height;
        Vector2<float> offset;
    };
    // d = height x 5 + shift 4 along (position - light) x 0.01, at most one length long.
    const Case cases[] = {
        {{150, 100}, 0.0f, {2, 0}},
        {{100, 400}, 2.0f, {0, 14}},
        {{100, 100}, 1.0f, {0, 0}},
        {{40, 20}, 0.0f, {-0.6f * 4, -0.8f * 4}},
    };
    int n = 1;
    for (const Case& c : cases) {
        ProbeItem* item = add(n++, c.height, c.at);
        EXPECT_NEAR(item->shadow_offset().x, c.offset.x, 1e-4) << c.at.x << "," << c.at.y;
        EXPECT_NEAR(item->shadow_offset().y, c.offset.y, 1e-4) << c.at.x << "," << c.at.y;
    }
}

}
}
