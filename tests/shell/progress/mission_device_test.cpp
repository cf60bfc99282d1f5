// The first mission of the game's own data tree drawn on the real (offscreen OpenGL) screen:
// its walls, pieces and idol show whole, where the mission and the physics put them, on the
// mission's background, and its steady frames draw without a heap allocation.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/art/image_sprite.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/physics/physics_world.h"
#include "tests/field/item_fixture.h"
#include "tests/shell/counting_new.h"
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

bool transparent(std::uint32_t texel)
{
    return (texel >> 24) == 0;
}

// The image an item's base layer shows (a copy of the handle shares the loaded texture).
const Texture* base_image(const Item& item)
{
    TextureLayer base = item.base();
    return base.texture.get();
}

Vector2<float> plus(const Vector2<float>& a, const Vector2<float>& b)
{
    return {a.x + b.x, a.y + b.y};
}

Vector2<int> rounded(const Vector2<float>& p)
{
    return {int(std::lround(p.x)), int(std::lround(p.y))};
}

// The screen rectangle an unturned item covers.
Rect rect_of(const Item& item)
{
    const Vector2<float> p = item.position();
    const Vector2<float> size = item.size();
    return {p.x - size.x / 2, p.y - size.y / 2, size.x, size.y};
}

bool contains(const Rect& r, const Vector2<float>& p)
{
    return p.x >= r.x && p.x < r.x + r.w && p.y >= r.y && p.y < r.y + r.h;
}

bool overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The screen rectangle of an unturned, unscaled sprite.
Rect bounds_of(const Sprite& sprite)
{
    const Vector2<float> corner = sprite.position() - sprite.pivot();
    return {corner.x, corner.y, sprite.size().x, sprite.size().y};
}

// How far from a disc's centre something else drawn may reach before a point is no longer
// the background alone: its radius, and a pixel for the filtering of its rim.
constexpr float piece_reach = 21.5f;
// How far in from the corners of a piece's quad the background is looked at.
constexpr float corner_inset = 1.5f;

TEST_F(MissionDeviceTest, TheFirstMissionShowsWholePiecesAndWallsOnItsBackgroundAndItsIdolClearOfTheWalls)
{
    random_seed(1);
    test::FakeGame game;
    Field field(FieldSettings{}, game);
    const SkinPath mission("missions.chapter1.mission1");
    field.read_skin(mission);
    // As the game does after a load: overlapping items are pushed apart.
    field.world().step(5.0f, 500);
    ASSERT_EQ(field.idols().size(), 1u);
    ASSERT_FALSE(field.pieces().empty());

    // The background covers the screen one texel a pixel from its top left corner; without
    // one the screen stays as it was cleared, black.
    std::string back_value;
    read_skin_value(mission + "back", &back_value);
    EXPECT_FALSE(back_value.empty()) << "the mission has no background";
    ImageSprite back;
    const Texture* ground = nullptr;
    if (!back_value.empty()) {
        back.read_skin(mission + "back");
        ground = back.texture().get();
        ASSERT_NE(ground, nullptr) << "the mission's background image";
        ASSERT_EQ(ground->image_width(), 1024);
        ASSERT_EQ(ground->image_height(), 768);
    }
    const auto background = [&](const Vector2<int>& p) { return ground ? ground->pixel(p) : 0xFF000000u; };

    const SharedPtr<Texture> shot = draw(field);
    ASSERT_TRUE(shot);

    std::vector<Rect> walls;
    std::vector<Item*> pieces;
    for (const SharedPtr<Item>& item : field.items()) {
        const Texture* image = base_image(*item);
        ASSERT_NE(image, nullptr) << item->skin_path().text();
        const Vector2<float> size = item->size();
        // Each image is made at the size it is drawn, so it shows whole.
        EXPECT_EQ(image->image_width(), int(size.x)) << item->skin_path().text();
        EXPECT_EQ(image->image_height(), int(size.y)) << item->skin_path().text();
        if (item->gen() == -1)
            walls.push_back(rect_of(*item));
        else
            pieces.push_back(item.get());
    }
    // Six walls close the field: round it, and round the corner the creation idol stands in.
    EXPECT_EQ(walls.size(), 6u);

    // A wall lies unturned, one texel a pixel: the texels by its image's four corners show
    // by its quad's corners.
    for (const SharedPtr<Item>& item : field.items()) {
        if (item->gen() != -1)
            continue;
        const Texture& image = *base_image(*item);
        const Rect r = rect_of(*item);
        const int w = image.image_width();
        const int h = image.image_height();
        for (const Vector2<int> t : {Vector2<int>{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}}) {
            ASSERT_TRUE(opaque(image.pixel(t)));
            expect_shows(*shot, {int(r.x) + t.x, int(r.y) + t.y}, image.pixel(t), item->skin_path().text());
        }
    }

    // A piece shows its image's middle at its centre however it turned, and the background
    // by the corners of its quad, where its disc leaves the image transparent; corners that
    // something else may cover are left out.
    auto& idol = dynamic_cast<CreationIdol&>(*field.idols()[0]);
    std::vector<Rect> others = walls;
    others.push_back(bounds_of(idol.sprite()));
    for (int i = 0; i < CreationIdol::slot_count; ++i)
        others.push_back(bounds_of(idol.slot(i).back));
    const auto covered = [&](const Item& self, const Vector2<float>& p) {
        for (const Rect& r : others)
            if (contains(r, p))
                return true;
        for (const Item* other : pieces) {
            const Vector2<float> c = other->position();
            if (other != &self && (p - c).length() < piece_reach)
                return true;
            if ((p - plus(c, other->shadow_offset())).length() < piece_reach)
                return true;
        }
        return false;
    };
    int corners = 0;
    for (const Item* piece : pieces) {
        const Texture& image = *base_image(*piece);
        const std::string what = piece->skin_path().text();
        const int w = image.image_width();
        const int h = image.image_height();
        const std::uint32_t middle = image.pixel({w / 2, h / 2});
        ASSERT_TRUE(opaque(middle)) << what;
        expect_shows(*shot, rounded(piece->position()), middle, what);

        for (const Vector2<int> t : {Vector2<int>{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
            ASSERT_TRUE(transparent(image.pixel(t))) << what << " image corner " << t.x << "," << t.y;
        const float c = std::cos(piece->angle());
        const float s = std::sin(piece->angle());
        const float hx = w / 2.0f - corner_inset;
        const float hy = h / 2.0f - corner_inset;
        for (const Vector2<float> k : {Vector2<float>{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}}) {
            const Vector2<float> p = plus(piece->position(), {k.x * c - k.y * s, k.x * s + k.y * c});
            if (covered(*piece, p))
                continue;
            expect_shows(*shot, rounded(p), background(rounded(p)), what + " corner");
            ++corners;
        }
    }
    // Most corners lie in the open: far more than one a piece.
    EXPECT_GE(corners, int(pieces.size()) * 2);

    // The idol's figure shows whole: its image is its size and its middle shows there; the
    // figure and its hand's slots stand on the screen, clear of the walls.
    ImageSprite& figure = idol.sprite();
    const Texture* image = figure.texture().get();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->image_width(), int(figure.size().x));
    EXPECT_EQ(image->image_height(), int(figure.size().y));
    const Vector2<int> middle{image->image_width() / 2, image->image_height() / 2};
    ASSERT_TRUE(opaque(image->pixel(middle)));
    expect_shows(*shot, {int(figure.position().x) + middle.x, int(figure.position().y) + middle.y},
                 image->pixel(middle), "the idol");

    const auto expect_inside = [&](const Sprite& sprite, const std::string& what) {
        const Rect r = bounds_of(sprite);
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= 1024 && r.y + r.h <= 768) << what;
        for (const Rect& wall : walls)
            EXPECT_FALSE(overlap(r, wall)) << what << " (" << r.x << "," << r.y << " " << r.w << "x" << r.h
                                           << ") lies on a wall";
    };
    expect_inside(figure, "the idol");
    for (int i = 0; i < CreationIdol::slot_count; ++i)
        expect_inside(idol.slot(i).back, "hand slot " + std::to_string(i));
}
TEST_F(MissionDeviceTest, SteadyFramesOfTheFirstMissionDrawWithoutAllocating)
{
    if (!test::counts_allocations)
        GTEST_SKIP() << "allocations are counted only without the sanitizers";
    random_seed(1);
    test::FakeGame game;
    Field field(FieldSettings{}, game);
    field.read_skin(SkinPath("missions.chapter1.mission1"));
    field.world().step(5.0f, 500);
    std::int64_t drawing = 0;
    for (int frame = 0; frame <= 100; ++frame) {
        field.update(16);
        const std::int64_t before = test::allocation_count();
        ASSERT_TRUE(artist->begin_scene());
        artist->clear({0, 0, 0, 1});
        field.draw(*artist);
        field.draw_overlay(*artist);
        artist->end_scene();
        // The first frame may size what later frames reuse.
        if (frame > 0)
            drawing += test::allocation_count() - before;
    }
    EXPECT_GT(artist->last_draw_calls(), 1u);
    EXPECT_EQ(drawing, 0);
}

}
}
