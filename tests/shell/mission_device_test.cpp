// The first mission of the game's own data tree drawn on the real (offscreen OpenGL) screen:
// its walls, pieces and idol show their images where the mission and the physics put them.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/physics_world.h"
#include "tests/field/item_fixture.h"
#include "tests/shell/data_tree.h"

namespace kq {
namespace {

class MissionDeviceTest : public testing::Test
{
protected:
    MissionDeviceTest()
    {
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    }
    ~MissionDeviceTest() override
    {
        stop_dxdraw_service();
        stop_api_window_service(m_window);
    }

    // One frame of the field on black, read back.
    SharedPtr<Texture> draw(Field& field)
    {
        EXPECT_TRUE(artist->begin_scene());
        artist->clear({0, 0, 0, 1});
        field.draw(*artist);
        field.draw_overlay(*artist);
        SharedPtr<Texture> capture = artist->capture_screen();
        artist->end_scene();
        return capture;
    }

    DXArtist* artist = nullptr;

private:
    test::DataTree m_data{"kq_field_device_"};
    APIWindow* m_window = nullptr;
};

// Red, green and blue of a pixel word, each 0 to 255.
struct Rgb {
    int r, g, b;
};

Rgb rgb(std::uint32_t word)
{
    return {int((word >> 16) & 0xFF), int((word >> 8) & 0xFF), int(word & 0xFF)};
}

// An opaque texel's colour drawn at a screen point must read back within 2 per channel.
void expect_shows(const Texture& shot, Vector2<int> at, std::uint32_t texel, const std::string& what)
{
    const Rgb want = rgb(texel);
    const Rgb got = rgb(shot.pixel(at));
    EXPECT_NEAR(got.r, want.r, 2) << what << " at " << at.x << "," << at.y;
    EXPECT_NEAR(got.g, want.g, 2) << what << " at " << at.x << "," << at.y;
    EXPECT_NEAR(got.b, want.b, 2) << what << " at " << at.x << "," << at.y;
}

bool opaque(std::uint32_t texel)
{
    return (texel >> 24) == 0xFF;
}

TEST_F(MissionDeviceTest, TheFirstMissionShowsItsWallsPiecesAndIdolWhereItPutsThem)
{
    random_seed(1);
    test::FakeGame game;
    Field field(FieldSettings{}, game);
    field.read_skin(SkinPath("missions.chapter1.mission1"));
    // As the game does after a load: overlapping items are pushed apart.
    field.world().step(5.0f, 500);
    ASSERT_EQ(field.idols().size(), 1u);
    ASSERT_FALSE(field.pieces().empty());

    const SharedPtr<Texture> shot = draw(field);
    ASSERT_TRUE(shot);

    int walls = 0;
    int pieces = 0;
    for (const SharedPtr<Item>& item : field.items()) {
        TextureLayer base = item->base();
        const Texture* image = base.texture.get();
        ASSERT_NE(image, nullptr) << item->skin_path().text();
        const Vector2<float> size = item->size();
        if (item->gen() == -1) {
            // A wall lies unturned; its image starts at its top left corner, one texel a
            // pixel: the texel 8 pixels into both directions shows there.
            const Vector2<int> corner{int(item->position().x - size.x / 2), int(item->position().y - size.y / 2)};
            const std::uint32_t texel = image->pixel({8, 8});
            ASSERT_TRUE(opaque(texel));
            expect_shows(*shot, {corner.x + 8, corner.y + 8}, texel, item->skin_path().text());
            ++walls;
        } else {
            // A piece shows its image's middle texel at its centre, however it turned.
            const std::uint32_t texel = image->pixel({int(size.x) / 2, int(size.y) / 2});
            ASSERT_TRUE(opaque(texel));
            const Vector2<float> p = item->position();
            expect_shows(*shot, {int(std::lround(p.x)), int(std::lround(p.y))}, texel, item->skin_path().text());
            ++pieces;
        }
    }
    EXPECT_EQ(walls, 4);
    EXPECT_GE(pieces, 1);

    // The idol's figure: its image one texel a pixel from the sprite's position; the middle
    // texel shows there.
    ImageSprite& figure = field.idols()[0]->sprite();
    const Texture* image = figure.texture().get();
    ASSERT_NE(image, nullptr);
    const Vector2<int> middle{int(figure.size().x) / 2, int(figure.size().y) / 2};
    const std::uint32_t texel = image->pixel(middle);
    ASSERT_TRUE(opaque(texel));
    expect_shows(*shot, {int(figure.position().x) + middle.x, int(figure.position().y) + middle.y}, texel, "the idol");
}

}
}
