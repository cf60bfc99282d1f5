// A mission's field drawn on the real (offscreen OpenGL) screen: its walls, pieces and idol
// stand where the mission puts them, each in its own colour.
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "engine/base/class_desc.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "item_fixture.h"
#include "tests/platform/device_services.h"

namespace kq::test {

/// An idol that is only its figure.
struct StatueIdol : Idol
{
};

}

KQ_TYPE_NAME(kq::test::StatueIdol, "class kq::test::StatueIdol");

namespace kq::test {
namespace {

// A grey background over the whole 320 x 240 screen; a red wall of 200 x 20 centred on
// (160, 20); two blue pieces of 30 x 30 centred on (100, 120) and (200, 120); a green idol
// of 40 x 40 from (260, 170). Every image is one colour.
const char* const mission_document = R"(
vimo { window { fullscreen false color_depth 32 size [(320, 240)] fixed false caption "t" max_display_frequency 60 } }
sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)] rotation 0
    scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
    tex_adress 0 inherit 96 }
image_keys : sprite_keys { texture "" placement full tbegin [(0, 0)] tsize [(0, 0)]
    secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(0, 0)] }
text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
piece_keys "class kq::Item" : item_keys { form circle density 1 size [(30, 30)] gen 1 launchable true
    base_texture "blue.png" angle 0 }
missions { chapter1 { mission1 {
    bonuses { vimoes_per_bonus 10 }
    max_meter 100 start_meter 50 throw_difficulty [(1, 1, 1)] time_difficulty [(1, 1, 1)]
    initial_bonuses [{ }] area [{ ((0, 0), (320, 240)) }] vimu_production_area [{ }]
    danger_sample "" end_danger_sample "" bowl_sample "" time_start_sample "" time_stop_sample ""
    back "class kq::ImageSprite" : image_keys { texture "grey.png" size [(320, 240)] }
    accuracy : image_keys { } arrow_head : image_keys { } arrow_tail : image_keys { }
    friction_coefficient 1 dark false darkening : image_keys { } launch_nember : text_keys { }
    wall <item> "class kq::Item" : item_keys { size [(200, 20)] base_texture "red.png" position [(160, 20)] angle 0 }
    left <item> : piece_keys { position [(100, 120)] }
    right <item> : piece_keys { position [(200, 120)] }
    statue <idol> "class kq::test::StatueIdol" {
        present true rainbow ""
        sprite : image_keys { texture "green.png" position [(260, 170)] size [(40, 40)] }
    }
} } }
)";

class FieldDeviceTest : public testing::Test
{
protected:
    FieldDeviceTest()
    {
        static const bool registered = [] {
            rtti::ClassDesc<StatueIdol>::instance().add_base<Idol>();
            return true;
        }();
        (void)registered;
        m_device.add_texture("grey.png", 0x606060);
        m_device.add_texture("red.png", 0xFF0000);
        m_device.add_texture("blue.png", 0x0000FF);
        m_device.add_texture("green.png", 0x00FF00);
    }

    // One frame of the field on black, read back.
    SharedPtr<Texture> draw(Field& field)
    {
        return m_device.capture([&](Artist& artist) {
            field.draw(artist);
            field.draw_overlay(artist);
        });
    }

private:
    DeviceServices m_device{{{"mission.sdt", std::string(item_defaults) + mission_document}}, {"mission.sdt"}};
};

TEST_F(FieldDeviceTest, TheMissionShowsItsWallsPiecesAndIdolWhereItPutsThem)
{
    FakeGame game;
    Field field(FieldSettings{}, game);
    field.read_skin(SkinPath("missions.chapter1.mission1"));
    ASSERT_EQ(field.items().size(), 3u);
    ASSERT_EQ(field.idols().size(), 1u);

    const SharedPtr<Texture> shot = draw(field);
    ASSERT_TRUE(shot);
    // A shadow is the image 40 % black, 4 pixels right and down of an item on the ground.
    const std::uint32_t grey = 0x606060;
    const std::uint32_t shaded = 0x3A3A3A;  // 96 x 0.6
    struct Case {
        int x, y;
        std::uint32_t rgb;
        const char* what;
    };
    const Case cases[] = {
        {5, 5, grey, "the background"},
        {60, 10, 0xFF0000, "the wall's first pixel"},
        {160, 20, 0xFF0000, "the wall's middle"},
        {259, 29, 0xFF0000, "the wall's last pixel"},
        {262, 32, shaded, "the wall's shadow"},
        {58, 20, grey, "left of the wall"},
        {100, 120, 0x0000FF, "the left piece"},
        {85, 105, 0x0000FF, "the left piece's corner"},
        {117, 117, shaded, "the left piece's shadow"},
        {200, 120, 0x0000FF, "the right piece"},
        {150, 120, grey, "between the pieces"},
        {260, 170, 0x00FF00, "the idol's corner"},
        {299, 209, 0x00FF00, "the idol's last pixel"},
        {301, 211, grey, "past the idol"},
    };
    for (const Case& c : cases) {
        const std::uint32_t word = shot->pixel({c.x, c.y});
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(int((word >> shift) & 0xFF), int((c.rgb >> shift) & 0xFF), 2)
                << c.what << " at " << c.x << "," << c.y;
    }
}

}
}
