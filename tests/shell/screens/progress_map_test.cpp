// The travel map drawn on the real (offscreen OpenGL) screen from the game's own data tree and
// catalogue: the flags stand where the catalogue puts the missions, the route's dots lie on the
// route between the chapters, and the academy shows its board without either.
#include "game/shell/screens/progress_frame.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "engine/ui/control_initer.h"
#include "game/shell/app/game.h"
#include "tests/shell/panel_fixture.h"
#include "tests/shell/route_chapters.h"

namespace kq::test {
namespace {

// The renderer and the UI of the panels' fixture, with a Game over them that holds the real
// catalogue (and a route to chapter 3) and one profile, and the map attached to the root.
class ProgressMapTest : public PanelTest
{
protected:
    ProgressMapTest() : m_game(SkinPath("vimo.game"), SharedPtr<UI>(&ui()))
    {
        read_catalogue(SkinPath("missions"), m_game.m_chapters);
        ensure_route_chapters(m_game.m_chapters, m_game.m_travel_path);
        m_game.m_profiles.emplace_back();
        m_game.m_profile = &m_game.m_profiles.back();
        m_game.m_profile->pre_events_shown = true;
    }
    ~ProgressMapTest() override { frame.detach(); }

    /// Shows the map of the mission, without clouds, drawn once on black; read back.
    SharedPtr<Texture> show(int chapter, int mission)
    {
        Profile& player = *m_game.m_profile;
        player.chapter = chapter;
        player.mission = mission;
        frame.set_up(CIIndependent(SkinPath("frames.progress_frame")));
        Control::attach_to_parent(&frame, &root());
        frame.clouds().clear();
        EXPECT_TRUE(screen->begin_scene());
        screen->clear({0, 0, 0, 1});
        root().draw_tree(*screen);
        SharedPtr<Texture> capture = screen->capture_screen();
        screen->end_scene();
        return capture;
    }

    const std::map<int, Mission>& missions_of(int chapter) const { return m_game.m_chapters.at(chapter).missions; }
    const Mission& mission(int chapter, int number) const { return m_game.m_chapters.at(chapter).missions.at(number); }
    const TravelPath& route() const { return m_game.m_travel_path; }

    // The texel of an image of the data tree at a point, as its file holds it.
    static std::uint32_t texel(const std::string& image, Vector2<int> at)
    {
        ResHandle<Texture> texture(ResKey{image, 0});
        EXPECT_NE(texture.get(), nullptr) << image;
        return texture.get() ? texture.get()->pixel(at) : 0;
    }

private:
    Game m_game;

protected:
    /// Built after the Game whose screens it opens.
    ProgressFrame frame{m_game.map_screens()};
};

int channel(std::uint32_t word, int shift)
{
    return int((word >> shift) & 0xFF);
}

// A screen pixel shows the opaque texel, within `tolerance` per channel.
void expect_shows(const Texture& shot, Vector2<int> at, std::uint32_t texel, const std::string& what, int tolerance = 2)
{
    ASSERT_EQ(texel >> 24, 0xFFu) << what << ": the art is opaque there";
    const std::uint32_t got = shot.pixel(at);
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(channel(got, shift), channel(texel, shift), tolerance) << what << " at " << at.x << "," << at.y;
}

Vector2<int> rounded(Vector2<float> p)
{
    return {int(std::floor(p.x)), int(std::floor(p.y))};
}

TEST_F(ProgressMapTest, FlagsStandOnTheMissionsAndDotsOnTheRouteBetweenTheChapters)
{
    const SharedPtr<Texture> shot = show(3, 1);
    ASSERT_TRUE(shot);

    // A flag's pole stands on its mission: the foot at (12, 39) of the 24 x 40 image; the
    // cloth's texel (16, 10) is opaque. Chapter 2 is done; chapter 3's later missions wait.
    const Vector2<int> cloth{16, 10};
    for (const auto& [number, done] : missions_of(2)) {
        const Vector2<int> at = done.position;
        expect_shows(*shot, {at.x - 12 + cloth.x, at.y - 39 + cloth.y}, texel("art/map/flag_completed.png", cloth),
                     "completed flag of mission 2." + std::to_string(number));
    }
    for (const auto& [number, waiting] : missions_of(3)) {
        if (number == 1)
            continue;
        const Vector2<int> at = waiting.position;
        expect_shows(*shot, {at.x - 12 + cloth.x, at.y - 39 + cloth.y}, texel("art/map/flag_pending.png", cloth),
                     "pending flag of mission 3." + std::to_string(number));
    }
    // The traveller, 28 x 46 with its foot at (14, 45), stands on the current mission.
    const Vector2<int> here = mission(3, 1).position;
    const Vector2<int> pennant{18, 10};
    expect_shows(*shot, {here.x - 14 + pennant.x, here.y - 45 + pennant.y}, texel("art/map/traveller.png", pennant),
                 "the traveller");

    // The dots: from 20 units past chapter 2's last mission to 20 short of chapter 3's first,
    // one wherever the route has gone a dot's width less 3 (14 - 3) in a straight line from
    // the last, drawn halfway between.
    const float start = missions_of(2).rbegin()->second.distance + 20.0f;
    const float end = mission(3, 1).distance - 20.0f;
    std::vector<Vector2<float>> dots;
    Vector2<float> p = route().value(start);
    for (float t = start + 1.0f; t - 1.0f < end; t += 1.0f) {
        const Vector2<float> q = route().value(t);
        if (Vector2<float>::distance(p, q) >= 11.0f) {
            dots.push_back({(p.x + q.x) / 2.0f, (p.y + q.y) / 2.0f});
            p = q;
        }
    }
    ASSERT_GT(dots.size(), 5u);
    const std::uint32_t dot = texel("art/map/path_step.png", {7, 3});
    for (const Vector2<float>& centre : dots)
        expect_shows(*shot, rounded(centre), dot, "a dot", 12);

    // Inside chapter 2 the route has no dots: the map shows between its first two missions.
    const Vector2<int> inside = rounded(route().value((mission(2, 1).distance + mission(2, 2).distance) / 2.0f));
    expect_shows(*shot, inside, texel("art/map/map.jpg", inside), "the map inside chapter 2");
}

TEST_F(ProgressMapTest, TheAcademyShowsItsBoardWithoutFlagsOrRoute)
{
    const SharedPtr<Texture> shot = show(1, 2);
    ASSERT_TRUE(shot);
    std::uint32_t mask = 0;
    std::uint32_t flags = 0;
    frame.get_view_flags(nullptr, mask, flags);
    EXPECT_EQ(flags & 0x100, 0u);
    for (const auto& [number, academy] : missions_of(1)) {
        const Vector2<int> flag_cloth{academy.position.x + 4, academy.position.y - 29};
        expect_shows(*shot, flag_cloth, texel("art/academy/board.jpg", flag_cloth),
                     "no flag on academy mission " + std::to_string(number));
    }
}

}
}
