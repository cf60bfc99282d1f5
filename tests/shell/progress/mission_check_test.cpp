// The mission check: every mission of the game's catalogue loads from the real data tree and
// plays for a while with scripted shots without an error, a line of the error log, a piece
// frozen outside the world's box, too many physics shapes or a whirlwind wandering round a
// home too near the top or the bottom of the screen. Each fault names its mission.
#include <gtest/gtest.h>

#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/random.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/objects/whirlwind.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/progress/catalogue.h"
#include "tests/base/log_capture.h"
#include "tests/field/item_fixture.h"
#include "tests/shell/data_tree.h"

namespace kq {
namespace {

// The most physics shapes a mission may hold at once.
constexpr std::size_t max_shapes = 512;
// Whirlwinds wander round a home within these rows, clear of the panels.
constexpr float whirlwind_top = 100.0f;
constexpr float whirlwind_bottom = 668.0f;
// Field time before the first shot, between shots, and the number of shots, milliseconds.
constexpr int settle_ms = 1500;
constexpr int shot_period_ms = 2500;
constexpr int shot_count = 8;

// A game of the first profile: easy, effects on, produced pieces anywhere in the first area.
struct FirstProfile : test::FakeGame
{
    FirstProfile() { effects = true; }
    Vector2<float> pick_area_point(const std::vector<Rect>& areas) override
    {
        if (areas.empty())
            return {};
        const Rect& a = areas[0];
        const float u = float(random_next()) / float(random_max);
        const float v = float(random_next()) / float(random_max);
        return {a.x + u * a.w, a.y + v * a.h};
    }
};

// What is wrong with the field now; empty when nothing is.
std::string fault(const Field& field)
{
    std::size_t shapes = 0;
    for (const SharedPtr<Item>& item : field.items()) {
        if (const PhysicsBody* body = item->body())
            shapes += body->shapes().size();
        if (const auto* whirlwind = dynamic_cast<const Whirlwind*>(item.get())) {
            const float y = whirlwind->home().y;
            if (y < whirlwind_top || y > whirlwind_bottom)
                return "a whirlwind's home at y " + std::to_string(y) + " (" + item->skin_path().text() + ")";
        }
    }
    if (shapes > max_shapes)
        return std::to_string(shapes) + " physics shapes";
    for (const auto& [group, piece] : field.pieces())
        if (piece->body() && piece->body()->is_frozen())
            return "a piece frozen outside the world's box (" + piece->skin_path().text() + ")";
    return {};
}

// Shoots the n-th shot: the first piece that can be taken, away from a direction that turns
// with every shot so that the shots cover the field.
void shoot(Field& field, int n)
{
    const float turn = 2.399963f * float(n);
    const Vector2<float> away{std::cos(turn) * 90.0f, std::sin(turn) * 90.0f};
    std::vector<Vector2<float>> points;
    for (const auto& [group, piece] : field.pieces())
        points.push_back(piece->position());
    for (const Vector2<float>& p : points) {
        if (field.on_press(p)) {
            field.set_aim_point({p.x - away.x, p.y - away.y});
            field.update_aim_point();
            field.launch();
            return;
        }
    }
}

// Plays the mission and returns its first fault; empty when it has none.
std::string play(const SkinPath& mission)
{
    random_seed(1);
    FirstProfile game;
    Field field(FieldSettings{}, game);
    field.read_skin(mission);
    // As the game does after a load: overlapping items are pushed apart.
    field.world().step(5.0f, 500);
    int next_shot = settle_ms;
    int shots = 0;
    for (int t = 0; t < settle_ms + shot_count * shot_period_ms; t += 20) {
        field.update(20);
        if (std::string problem = fault(field); !problem.empty())
            return problem + " at " + std::to_string(t) + " ms";
        if (t >= next_shot && shots < shot_count) {
            shoot(field, shots++);
            next_shot += shot_period_ms;
        }
    }
    return {};
}

TEST(MissionCheck, EveryMissionOfTheCataloguePlaysCleanly)
{
    test::DataTreeRenderer data("kq_mission_check_");
    test::LogCapture logs;
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_FALSE(chapters.empty());
    int missions = 0;
    for (const auto& [chapter_number, chapter] : chapters) {
        for (const auto& [mission_number, mission] : chapter.missions) {
            const std::string name =
                "missions.chapter" + std::to_string(chapter_number) + ".mission" + std::to_string(mission_number);
            const std::string errors_before = logs.text("error");
            std::string problem;
            try {
                problem = play(SkinPath(name));
            } catch (const Exception& error) {
                problem = "error: " + error.message();
            } catch (const std::exception& error) {
                problem = std::string("error: ") + error.what();
            }
            EXPECT_EQ(problem, "") << name;
            const std::string errors = logs.text("error");
            EXPECT_EQ(errors.substr(errors_before.size()), "") << name << " wrote to the error log";
            ++missions;
        }
    }
    EXPECT_GT(missions, 0);
}

}
}
