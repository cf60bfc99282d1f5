// The academy's first mission played in the real game as a new player plays it: from the
// title into the mission, its tips read as they come, then shot after shot at a person's pace
// (the pointer onto a piece, a press, a pull back, a release, three seconds apart), each aimed
// at a piece of the same colour, until the mission is won.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>

#include "engine/base/clock.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

// A shot as a player sees it: the piece to press on and the piece to hit.
struct Shot
{
    Vector2<float> from;
    Vector2<float> to;
};

float distance_to_segment(const Vector2<float>& p, const Vector2<float>& a, const Vector2<float>& b)
{
    const Vector2<float> ab = b - a;
    const float length2 = ab.x * ab.x + ab.y * ab.y;
    float t = length2 > 0 ? ((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return Vector2<float>::distance(p, {a.x + ab.x * t, a.y + ab.y * t});
}

// The shot a player picks: a still piece and another of its colour with nothing in between,
// the nearest such pair; without a clear line, the nearest pair of one colour; without a pair,
// any still piece towards the middle of the field.
bool choose_shot(Shot& shot)
{
    const auto& pieces = field().pieces();
    float best = 1e9f;
    bool clear_found = false;
    bool any = false;
    for (const auto& [colour, piece] : pieces) {
        if (!piece->is_launchable() || piece->is_off_ground() || field().is_under_awning(piece->position()))
            continue;
        const Vector2<float> a = piece->position();
        if (!any) {
            shot = {a, {512.0f, 384.0f}};
            any = true;
        }
        const auto [first, last] = pieces.equal_range(colour);
        for (auto other = first; other != last; ++other) {
            if (other->second == piece)
                continue;
            const Vector2<float> b = other->second->position();
            bool clear = true;
            for (const auto& [c, third] : pieces)
                if (third != piece && third != other->second && distance_to_segment(third->position(), a, b) < 42.0f)
                    clear = false;
            const float d = Vector2<float>::distance(a, b);
            if ((clear && !clear_found) || (clear == clear_found && d < best)) {
                best = d;
                clear_found = clear_found || clear;
                shot = {a, b};
            }
        }
    }
    return any;
}

// The pointer pulled back from the piece away from its target, the farther the farther the
// target (the field takes at most 100 pixels of pull).
Vector2<int> pull_point(const Shot& shot)
{
    const Vector2<float> way = shot.to - shot.from;
    const float length = std::max(way.length(), 1.0f);
    const float pull = std::clamp(30.0f + length * 0.2f, 40.0f, 100.0f);
    return {int(std::lround(shot.from.x - way.x / length * pull)), int(std::lround(shot.from.y - way.y / length * pull))};
}

Vector2<int> rounded(const Vector2<float>& p)
{
    return {int(std::lround(p.x)), int(std::lround(p.y))};
}

TEST(AcademyPlay, APlayerShootingEveryThreeSecondsWinsTheFirstMission)
{
    constexpr int max_shots = 150;
    ManualClock clock;
    GameDriver driver;
    auto shot = std::make_shared<Shot>();
    auto shots = std::make_shared<int>(0);
    auto outcome = std::make_shared<GameState>(GameState::running);
    auto started = std::make_shared<std::int64_t>(0);
    auto ended = std::make_shared<std::int64_t>(0);
    // Closes a tip on screen with Return, as a player who read it; true when none shows.
    auto tips_read = std::make_shared<std::int64_t>(0);
    const auto read_tips = [tips_read, &driver] {
        if (Game::instance()->tip_pages().empty())
            return true;
        if (time_ms() - *tips_read > 1500) {
            *tips_read = time_ms();
            driver.press(SDLK_RETURN);
        }
        return false;
    };
    driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .press_until("the first mission", [] { return game_frame() && game_frame()->field(); })
        .pause(1600)
        .then([started, outcome] {
            *started = time_ms();
            field().on_game_state_changed().connect([outcome](GameState state) { *outcome = state; }, outcome.get());
        });
    // One step a shot: the tips read, a shot chosen once the field is still, then the hand's
    // moves at their times; nothing once the mission is over.
    enum class Phase { choose, over, press, pull, hold, release };
    auto phase = std::make_shared<Phase>(Phase::choose);
    auto since = std::make_shared<std::int64_t>(0);
    driver.step("the mission played out", [=, &driver] {
        const std::int64_t now = time_ms();
        if (*outcome != GameState::running || !game_frame()) {
            if (*ended == 0)
                *ended = now;
            return true;
        }
        if (*shots >= max_shots && *phase == Phase::choose)
            return true;
        const auto next = [&](Phase p) {
            *phase = p;
            *since = now;
        };
        const std::int64_t waited = now - *since;
        switch (*phase) {
        case Phase::choose:
            if (read_tips() && waited >= 3000 && !field().shot_in_flight() && !field().held_item() &&
                choose_shot(*shot)) {
                driver.push_motion(rounded(shot->from) - Vector2<int>{6, 6});
                next(Phase::over);
            }
            break;
        case Phase::over:
            if (waited >= 100) {
                driver.push_motion(rounded(shot->from));
                next(Phase::press);
            }
            break;
        case Phase::press:
            if (waited >= 100) {
                driver.push_button(rounded(shot->from), SDL_BUTTON_LEFT, true);
                ++*shots;
                next(Phase::pull);
            }
            break;
        case Phase::pull:
            if (waited >= 300) {
                const Vector2<int> a = rounded(shot->from);
                const Vector2<int> b = pull_point(*shot);
                driver.push_motion({(a.x + b.x) / 2, (a.y + b.y) / 2});
                next(Phase::hold);
            }
            break;
        case Phase::hold:
            if (waited >= 200) {
                driver.push_motion(pull_point(*shot));
                next(Phase::release);
            }
            break;
        case Phase::release:
            if (waited >= 300) {
                driver.push_button(pull_point(*shot), SDL_BUTTON_LEFT, false);
                next(Phase::choose);
            }
            break;
        }
        return false;
    }, std::int64_t(max_shots) * 10000);
    driver.then([ended] {
        if (*ended == 0)
            *ended = time_ms();
    });
    driver.close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(*outcome, GameState::win) << "after " << *shots << " shots in " << (*ended - *started) / 1000 << " s";
    std::cout << "The first mission: " << (*outcome == GameState::win ? "won" : "not won") << " after " << *shots
              << " shots in " << (*ended - *started) / 1000 << " s of play\n";
}

}
}
