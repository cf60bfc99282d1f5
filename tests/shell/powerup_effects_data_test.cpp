#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/powerup_add_effect.h"
#include "tests/platform/fake_gpu_device.h"
#include "tests/platform/test_window.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

// A profile that watches its gained powerups fly in.
struct AnimatingProfile : FieldGame
{
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(StrCache name, const Vector2<int>&) override { tips.emplace_back(name.c_str()); }
    Vector2<float> pick_area_point(const std::vector<Rect>&) override { return {}; }
    int difficulty() const override { return 0; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return true; }
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override { return progress / 1000; }
    bool animated_powerups() const override { return true; }

    std::vector<std::string> tips;
};

// The "res" and "skin" services over a copy of the game's data tree and a renderer on a device
// that keeps its textures in memory.
class PowerupEffectsData : public testing::Test
{
protected:
    PowerupEffectsData() : m_dir(fs::temp_directory_path() / ("kq_powerup_data_" + std::to_string(::getpid())))
    {
        const fs::path data = fs::path(KQ_SOURCE_DIR) / "data";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy(data, m_dir / "data", fs::copy_options::recursive);
        fs::copy_file(data / "default.root", m_dir / "default.root");
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file((m_dir / "default.root").string());
        start_skin_service();
        m_window = SharedPtr<test::TestWindow>(new test::TestWindow(SkinPath("vimo.window")));
        m_draw = std::make_unique<DXDraw>(SkinPath("dxdraw"), m_window,
                                          std::unique_ptr<host::GpuDevice>(new test::FakeGpuDevice));
        m_draw->initialize();
    }
    ~PowerupEffectsData() override
    {
        m_draw->shutdown();
        m_draw.reset();
        m_window = SharedPtr<test::TestWindow>();
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        fs::remove_all(m_dir);
    }

    fs::path m_dir;
    SharedPtr<test::TestWindow> m_window;
    std::unique_ptr<DXDraw> m_draw;
    AnimatingProfile m_game;
};

// The sparks on the field's effect layer (every child but the gain effect) and how many of them
// lie within `radius` of the point.
struct SparkCount
{
    int all = 0;
    int near = 0;
};

SparkCount count_sparks(Field& field, const Vector2<float>& point, float radius)
{
    SparkCount count;
    field.effect_layer().children().walk([&](const SharedPtr<Sprite>& child) {
        if (dynamic_cast<PowerupAddEffect*>(child.get()))
            return;
        ++count.all;
        if ((child->position() - point).length() <= radius)
            ++count.near;
    });
    return count;
}

TEST_F(PowerupEffectsData, EveryGainFliesInWithSparksThatGatherOnItsOutline)
{
    random_seed(7);
    const struct Case
    {
        Powerup powerup;
        const char* tip;
    } cases[] = {{Powerup::coin, "powerup_coin"},         {Powerup::clock, "powerup_clock"},
                 {Powerup::hand, "powerup_hand"},         {Powerup::fireball, "powerup_fireball"},
                 {Powerup::bolt, "powerup_bolt"},         {Powerup(5), nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.powerup));
        m_game.tips.clear();
        Field field(FieldSettings{}, m_game);
        field.add_powerup(c.powerup, 2, true);
        ASSERT_EQ(field.pending_powerup_effects(), 1) << "its effect is described";

        // Two seconds of flight: the outline holds at the screen's centre at 1.2 s, where
        // sparks from all over the screen have gathered on it (60 to 75 pixels out).
        for (int t = 0; t < 1200; t += 20)
            field.update(20);
        const SparkCount sparks = count_sparks(field, {512, 384}, 130);
        EXPECT_GT(sparks.all, 50);
        EXPECT_GT(sparks.near * 10, sparks.all * 6) << "most sparks on the outline";
        EXPECT_EQ(field.pending_powerup_effects(), 1);

        for (int t = 1200; t < 2100; t += 20)
            field.update(20);
        EXPECT_EQ(field.pending_powerup_effects(), 0);
        if (c.tip) {
            EXPECT_EQ(field.powerups(c.powerup), 2);
            EXPECT_EQ(m_game.tips, std::vector<std::string>{c.tip});
        } else {
            EXPECT_TRUE(m_game.tips.empty());
        }
    }
}

}
}
