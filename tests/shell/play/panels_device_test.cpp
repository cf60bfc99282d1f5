// The game frame's panels drawn on the real (offscreen OpenGL) screen from the game's own data
// tree: each image shows where the skin puts it, in the colours of its art, the meters tinted
// by their level; alone, and over the field in the game frame of a running mission.
#include <string>

#include <gtest/gtest.h>

#include "engine/platform/artist.h"
#include "engine/platform/texture.h"
#include "engine/res/dictionary.h"
#include "engine/res/res_handle.h"
#include "engine/ui/control_initer.h"
#include "game/shell/play/bottom_panel.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/play/meter_panel.h"
#include "game/shell/play/top_panel.h"
#include "game/shell/screens/progress_panel.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"
#include "tests/shell/panel_fixture.h"
#include "tests/shell/profile_dialogs.h"

namespace kq::test {
namespace {

// The texel of a panel's art image at a point, as its file holds it.
std::uint32_t texel(const char* image, Vector2<int> at)
{
    ResHandle<Texture> texture(ResKey{std::string("art/panels/") + image + ".png", 0});
    EXPECT_NE(texture.get(), nullptr) << image;
    return texture.get() ? texture.get()->pixel(at) : 0;
}

class PanelsDeviceTest : public PanelTest
{
protected:
    PanelsDeviceTest() : field(first_mission())
    {
        top.set_up(CIIndependent(SkinPath("panels.top")));
        bottom.set_up(CIIndependent(SkinPath("panels.bottom")));
        left.set_up(CIIndependent(SkinPath("panels.left_meter")));
        right.set_up(CIIndependent(SkinPath("panels.right_meter")));
        for (Control* panel : {static_cast<Control*>(&top), static_cast<Control*>(&bottom),
                               static_cast<Control*>(&left), static_cast<Control*>(&right)})
            Control::attach_to_parent(panel, &root());
        FieldSettings record;
        record.values = {3, 0};
        record.m_powerups = {0, 0, 2, 0, 0};
        top.set_record(record, true);
        bottom.set_field(field.get());
        left.set_field(field.get());
        right.set_field(field.get());
    }
    ~PanelsDeviceTest() override
    {
        for (Control* panel : {static_cast<Control*>(&top), static_cast<Control*>(&bottom),
                               static_cast<Control*>(&left), static_cast<Control*>(&right)})
            panel->detach();
    }

    // The tree drawn on black, read back.
    SharedPtr<Texture> shot()
    {
        EXPECT_TRUE(screen->begin_scene());
        screen->clear({0, 0, 0, 1});
        root().draw_tree(*screen);
        SharedPtr<Texture> capture = screen->capture_screen();
        screen->end_scene();
        return capture;
    }

    std::unique_ptr<Field> field;
    TopPanel top;
    BottomPanel bottom;
    MeterPanel left;
    MeterPanel right;
};

struct Rgb
{
    float r, g, b;
};

// A screen pixel must show the texel times the tint, within 2 per channel.
void expect_shows(const Texture& shot, Vector2<int> at, std::uint32_t texel, const std::string& what,
                  Rgb tint = {1, 1, 1})
{
    ASSERT_EQ(texel >> 24, 0xFFu) << what << ": the art is opaque there";
    const std::uint32_t got = shot.pixel(at);
    const auto channel = [](std::uint32_t word, int shift) { return int((word >> shift) & 0xFF); };
    EXPECT_NEAR(channel(got, 16), channel(texel, 16) * tint.r, 2) << what << " at " << at.x << "," << at.y;
    EXPECT_NEAR(channel(got, 8), channel(texel, 8) * tint.g, 2) << what << " at " << at.x << "," << at.y;
    EXPECT_NEAR(channel(got, 0), channel(texel, 0) * tint.b, 2) << what << " at " << at.x << "," << at.y;
}

TEST_F(PanelsDeviceTest, ThePanelsDrawWhereTheSkinPutsThem)
{
    // Half the tint's level: the meters are tinted halfway to red.
    field->add_meter(150000 - field->meter());
    for (int frame = 0; frame < 100 && left.shown() != left.target(); ++frame)
        draw_frame(10);
    ASSERT_EQ(left.shown(), 150000);
    const SharedPtr<Texture> image = shot();
    ASSERT_TRUE(image);

    // The top strip from x 120; the second life icon stands one icon right of the origin
    // (12, 18) in it; the hand's button, the only one held, on its place 2 of the row from
    // (420, 4), its icon centred in the 56-pixel button.
    expect_shows(*image, {840, 30}, texel("top", {840 - 120, 30}), "the top strip");
    expect_shows(*image, {120 + 12 + 28 + 14, 18 + 14}, texel("life", {14, 14}), "the second life");
    expect_shows(*image, {120 + 420 + 2 * 56 + 28, 4 + 28}, texel("powerup_hand", {24, 24}), "the hand's button");
    expect_shows(*image, {120 + 420 + 28, 4 + 28}, texel("top", {420 + 28, 32}), "no coin: the strip shows");

    // The bottom strip from (164, 704): its frame image at its left, the reserve's piece over it.
    expect_shows(*image, {164 + 150, 704 + 46}, texel("bottom_frame", {150, 46}), "the bottom frame");
    expect_shows(*image, {164 + 16 + 20, 704 + 12 + 20}, texel("reserve", {20, 20}), "the reserve's piece");
    expect_shows(*image, {600, 704 + 50}, texel("bottom", {600 - 164, 50}), "the bottom strip");

    // The meters from y 200, their gauges 12 pixels in: 150000 of 600000 puts the level line
    // at 353 - 274 / 4, row 284; above it the empty image, below it the full one, whose
    // texture rows are the panel's rows. Both tinted by the level, half of the tint's.
    const int line = int(353.0f - 274.0f * 150000.0f / 600000.0f);
    const Rgb tint{1.0f, 0.875f, 0.875f};
    for (const int x : {0, 976}) {
        const std::string side = x == 0 ? "left " : "right ";
        expect_shows(*image, {x + 24, 200 + line + 30}, texel("meter_full", {12, line + 30}), side + "full", tint);
        expect_shows(*image, {x + 24, 200 + line - 30}, texel("meter_empty", {12, line - 30 - 79}), side + "empty", tint);
        expect_shows(*image, {x + 4, 200 + 150}, texel("meter", {4, 150}), side + "back");
    }
}

TEST_F(PanelsDeviceTest, AMissionsGrantedBonusShowsItsBadgeInTheBottomRow)
{
    // The first mission grants nothing: the strip shows where the row starts, at (212, 12) in the strip.
    const Vector2<int> middle{164 + 212 + 2 + 13, 704 + 12 + 2 + 13};
    SharedPtr<Texture> image = shot();
    ASSERT_TRUE(image);
    expect_shows(*image, middle, texel("bottom", {middle.x - 164, middle.y - 704}), "no bonus: the strip");

    // The second grants accuracy, whose badge takes the row's first place: its 26-pixel
    // image 2 pixels into the 30-pixel badge.
    auto granted = std::make_unique<Field>(FieldSettings{}, game);
    granted->read_skin(SkinPath("missions.chapter1.mission2"));
    bottom.set_field(granted.get());
    image = shot();
    bottom.set_field(field.get());
    ASSERT_TRUE(image);
    expect_shows(*image, middle, texel("badge_accuracy", {13, 13}), "the accuracy badge's middle");
    expect_shows(*image, {middle.x - 6, middle.y - 6}, texel("badge_accuracy", {7, 7}), "the accuracy badge's disc");
}

TEST_F(PanelsDeviceTest, ThePanelsButtonsSayWhatTheyDo)
{
    ResHandle<Dictionary> dictionary(ResKey{"skin/main/dic.xml", 0});
    dictionary.get()->publish_words();
    ProgressPanel progress;
    progress.set_up(CIIndependent(SkinPath("panels.progress")));
    struct Case { const char* what; Button& button; const char* word; };
    for (const Case& c : {Case{"the map's play", progress.play_button(), "Play"},
                          Case{"the menu", top.menu_button(), "Menu"},
                          Case{"the stop mode's go", bottom.go_button(), "Done"},
                          Case{"a powerup's cancel", bottom.cancel_button(), "Cancel"}}) {
        ASSERT_NE(c.button.sprite(), nullptr) << c.what;
        EXPECT_EQ(shown_text(c.button.sprite()->find(StrCache("label"), false)), c.word) << c.what;
    }
}

TEST(PanelsInGameFrame, ThePanelsOfARunningMissionDrawOverTheFieldWhereTheSkinPutsThem)
{
    ManualClock clock;
    GameDriver driver;
    SharedPtr<Texture> image;
    Vector2<int> size;
    driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .then([] {
            Game& game = *Game::instance();
            game.select_profile("Tester");
            game.m_profile->new_game(0, game.m_score_table);
            game.m_profile->tips = false;
            game.m_profile->lives = 2;
            game.m_profile->powerups = {0, 0, 2, 0, 0};
        })
        .press_until("the game frame", [] {
            auto* frame = dynamic_cast<GameFrame*>(top_frame());
            return frame && frame->field() && !Game::instance()->frame_manager().is_fading();
        })
        // The bottom panel and the meters slide in over 800 and 1500 ms.
        .pause(1600)
        .then([&image, &size] {
            // The frame as the game draws it, on black, read back.
            Artist& screen = *Game::instance()->ui().artist();
            ASSERT_TRUE(screen.begin_scene());
            screen.clear({0, 0, 0, 1});
            Game::instance()->ui().root()->draw_tree(screen);
            image = screen.capture_screen();
            screen.end_scene();
            ASSERT_TRUE(image);
            size = {image->image_width(), image->image_height()};
            // Read while the game's resources are there.
            expect_shows(*image, {840, 30}, texel("top", {840 - 120, 30}), "the top strip");
            expect_shows(*image, {120 + 12 + 28 + 14, 18 + 14}, texel("life", {14, 14}), "the second life");
            expect_shows(*image, {120 + 420 + 2 * 56 + 28, 4 + 28}, texel("powerup_hand", {24, 24}), "the hand's button");
            expect_shows(*image, {120 + 420 + 28, 4 + 28}, texel("top", {420 + 28, 32}), "no coin: the strip shows");
            expect_shows(*image, {164 + 150, 704 + 46}, texel("bottom_frame", {150, 46}), "the bottom frame");
            expect_shows(*image, {164 + 16 + 20, 704 + 12 + 20}, texel("reserve", {20, 20}), "the reserve's piece");
            expect_shows(*image, {600, 704 + 50}, texel("bottom", {600 - 164, 50}), "the bottom strip");
            for (const int x : {0, 976})
                expect_shows(*image, {x + 4, 200 + 150}, texel("meter", {4, 150}), x == 0 ? "left back" : "right back");
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(size, (Vector2<int>{1024, 768}));
}

}
}
