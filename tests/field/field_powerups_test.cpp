#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/field/effects/powerup_add_effect.h"
#include "vimu_fixture.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::PieceField;

const Powerup all_powerups[] = {Powerup::coin, Powerup::clock, Powerup::hand, Powerup::fireball, Powerup::bolt};
const GameState all_states[] = {GameState::running, GameState::fail, GameState::win, GameState::skip};

// Counts of the powerup alone.
std::array<int, 5> only(Powerup powerup, int count)
{
    std::array<int, 5> counts{};
    counts[std::size_t(powerup)] = count;
    return counts;
}

// The mode a selected powerup switches to; the coin switches to none.
GameMode mode_of(Powerup powerup)
{
    switch (powerup) {
    case Powerup::clock: return GameMode::strikes;
    case Powerup::hand: return GameMode::hand;
    case Powerup::fireball: return GameMode::fireball;
    case Powerup::bolt: return GameMode::bolt;
    default: return GameMode::aim;
    }
}

// What the field announces.
struct Heard
{
    explicit Heard(Field& field) : m_field(field)
    {
        field.on_powerups_changed().connect([this] { ++powerups; }, this);
        field.on_mode_changed().connect([this](GameMode mode) { modes.push_back(mode); }, this);
        field.on_game_state_changed().connect([this](GameState state) { states.push_back(state); }, this);
    }
    ~Heard()
    {
        m_field.on_powerups_changed().disconnect(this);
        m_field.on_mode_changed().disconnect(this);
        m_field.on_game_state_changed().disconnect(this);
    }
    Heard(const Heard&) = delete;
    Heard& operator=(const Heard&) = delete;

    int powerups = 0;
    std::vector<GameMode> modes;
    std::vector<GameState> states;

private:
    Field& m_field;
};

TEST(FieldPowerups, SelectUndoAndApplyFollowTheTable)
{
    for (Powerup powerup : all_powerups) {
        for (int count : {0, 1, 3}) {
            for (GameState state : all_states) {
                SCOPED_TRACE(testing::Message() << "powerup " << int(powerup) << " count " << count << " state "
                                                << int(state));
                PieceField f(only(powerup, count));
                f.add("red", {300, 300});
                f.field.set_game_state(state);
                Heard heard(f.field);

                f.field.select_powerup(powerup);
                const bool taken = count > 0 && (state == GameState::running || powerup == Powerup::coin);
                const bool spent_at_once = taken && (powerup == Powerup::coin || powerup == Powerup::clock);
                const GameMode mode = taken ? mode_of(powerup) : GameMode::aim;
                const GameState new_state = taken && powerup == Powerup::coin ? GameState::skip : state;
                EXPECT_EQ(f.field.powerups(powerup), spent_at_once ? count - 1 : count);
                EXPECT_EQ(heard.powerups, spent_at_once ? 1 : 0);
                EXPECT_EQ(f.field.mode(), mode);
                EXPECT_EQ(heard.modes, taken && mode != GameMode::aim ? std::vector<GameMode>{mode}
                                                                      : std::vector<GameMode>{});
                EXPECT_EQ(f.field.game_state(), new_state);
                EXPECT_EQ(heard.states, new_state != state ? std::vector<GameState>{new_state}
                                                           : std::vector<GameState>{});
                EXPECT_EQ(f.field.can_undo(), mode != GameMode::aim && mode != GameMode::strikes)
                    << "nothing planned yet to take back in strikes mode";

                // Undo leaves a powerup's mode without spending it; in strikes mode with
                // nothing planned it changes nothing.
                heard.modes.clear();
                f.field.undo();
                const GameMode after_undo = mode == GameMode::strikes ? mode : GameMode::aim;
                EXPECT_EQ(f.field.mode(), after_undo);
                EXPECT_EQ(heard.modes, after_undo != mode ? std::vector<GameMode>{GameMode::aim}
                                                          : std::vector<GameMode>{});
                EXPECT_EQ(f.field.powerups(powerup), spent_at_once ? count - 1 : count);

                // Apply ends strikes mode, planned or not; elsewhere it does nothing.
                heard.modes.clear();
                f.field.apply();
                EXPECT_EQ(f.field.mode(), GameMode::aim);
                EXPECT_EQ(heard.modes, after_undo == GameMode::strikes ? std::vector<GameMode>{GameMode::aim}
                                                                       : std::vector<GameMode>{});
                EXPECT_EQ(f.field.step_deadline() != -1, after_undo == GameMode::strikes)
                    << "the carried-out plan opens a turn";
                EXPECT_FALSE(f.field.can_undo());
                EXPECT_EQ(f.field.game_state(), new_state);
            }
        }
    }
}

TEST(FieldPowerups, SpendingTakesOneAndAnEmptyCountIsLogged)
{
    for (Powerup powerup : all_powerups) {
        for (int count : {0, 1, 3}) {
            SCOPED_TRACE(testing::Message() << "powerup " << int(powerup) << " count " << count);
            PieceField f(only(powerup, count));
            Heard heard(f.field);
            test::LogCapture log;
            f.field.spend_powerup(powerup);
            EXPECT_EQ(f.field.powerups(powerup), count > 0 ? count - 1 : 0);
            EXPECT_EQ(heard.powerups, count > 0 ? 1 : 0);
            EXPECT_EQ(log.text("error").find("Not enough powerups.") != std::string::npos, count == 0);
        }
    }
}

TEST(FieldPowerups, UndoTakesBackTheLastStrikeAndApplyFiresTheRest)
{
    PieceField f(only(Powerup::clock, 1));
    Vimu* first = f.add("red", {200, 300});
    Vimu* second = f.add("blue", {600, 300});
    f.add("blue", {600, 600});
    f.field.select_powerup(Powerup::clock);
    ASSERT_TRUE(f.shoot({200, 300}, {170, 300}));
    ASSERT_TRUE(f.shoot({600, 300}, {630, 300}));
    ASSERT_EQ(f.field.strikes_left(), 3);
    EXPECT_TRUE(f.field.can_undo());

    f.field.undo();
    EXPECT_EQ(f.field.mode(), GameMode::strikes);
    EXPECT_EQ(f.field.strikes_left(), 4);
    ASSERT_EQ(f.field.move_records().size(), 1u);
    EXPECT_EQ(f.field.move_records()[0].piece.get(), first);

    Heard heard(f.field);
    f.field.apply();
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    EXPECT_EQ(heard.modes, std::vector<GameMode>{GameMode::aim});
    EXPECT_TRUE(first->is_struck());
    EXPECT_FALSE(second->is_struck()) << "its strike was taken back";
    EXPECT_TRUE(f.field.move_records().empty());
    EXPECT_EQ(f.field.time_state(), TimeState::resuming) << "time comes back";
    EXPECT_EQ(f.field.meter(), 500000) << "strikes cost nothing";
}

TEST(FieldPowerups, UndoPutsACarriedItemDownAndKeepsTheHand)
{
    PieceField f(only(Powerup::hand, 1));
    Vimu* piece = f.add("red", {300, 300});
    f.field.select_powerup(Powerup::hand);
    ASSERT_TRUE(f.field.on_press({300, 300}));
    ASSERT_FLOAT_EQ(piece->height(), 3.0f);
    f.field.undo();
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    EXPECT_EQ(f.field.held_item(), nullptr);
    EXPECT_FLOAT_EQ(piece->height(), 0.0f);
    EXPECT_EQ(f.field.powerups(Powerup::hand), 1);
}

// Gain effects of a second's flight, one for each powerup and the one for any other.
std::string gain_effects()
{
    std::string text = "effects {";
    for (const char* name : {"coin", "clock", "hand", "fireball", "bolt", "base"})
        text += std::string(" ") + name + R"(_powerup "class kq::PowerupAddEffect" : sprite_keys {
            timer { parameter -1 period 1000 cyclic none coeff_law linear random_start false period_spread 0 }
            target { curves [{ ((0, 0), (1, 0), (2, 0), (3, 0)) }] } })";
    return text + " }";
}

// A field whose profile animates gained powerups.
struct GainField : PieceField
{
    GainField() : PieceField({}, "", "plain", gain_effects()) { game.animate = true; }
};

TEST(FieldPowerups, AnAnimatedGainCountsWhenItsEffectLands)
{
    GainField f;
    Heard heard(f.field);
    f.field.add_powerup(Powerup::coin, 3, true);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 0) << "nothing counts while it flies";
    EXPECT_EQ(f.field.pending_powerup_effects(), 1);
    EXPECT_TRUE(f.field.has_pending_effects());
    ASSERT_EQ(f.field.effect_layer().children().size(), 1u);
    EXPECT_NE(dynamic_cast<PowerupAddEffect*>(f.field.effect_layer().children().front()), nullptr);

    f.run(1000);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 0);
    EXPECT_TRUE(f.game.tips.empty());
    f.run(20);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 3) << "all at once on landing";
    EXPECT_EQ(heard.powerups, 1);
    ASSERT_EQ(f.game.tips.size(), 1u);
    EXPECT_EQ(f.game.tips[0].first, "powerup_coin");
    EXPECT_EQ(f.field.pending_powerup_effects(), 0);
    EXPECT_FALSE(f.field.has_pending_effects());
    f.run(20);
    EXPECT_EQ(f.field.effect_layer().children().size(), 0u) << "a landed effect goes";
    f.run(2000);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 3) << "counted once";
}

TEST(FieldPowerups, GainsCountAtOnceUnlessAnimatedForAProfileThatWantsIt)
{
    struct Case
    {
        bool animate;
        bool profile;
        bool flies;
    };
    for (const Case& c : {Case{false, false, false}, Case{false, true, false}, Case{true, false, false},
                          Case{true, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.animate << c.profile);
        GainField f;
        f.game.animate = c.profile;
        f.field.add_powerup(Powerup::bolt, 2, c.animate);
        EXPECT_EQ(f.field.powerups(Powerup::bolt), c.flies ? 0 : 2);
        EXPECT_EQ(f.game.tips.size(), c.flies ? 0u : 1u);
        EXPECT_EQ(f.field.effect_layer().children().size(), c.flies ? 1u : 0u);
    }
}

TEST(FieldPowerups, EachGainLandsOnItsOwn)
{
    GainField f;
    f.field.add_powerup(Powerup::hand, 1, true);
    f.run(500);
    f.field.add_powerup(Powerup::hand, 2, true);
    f.field.add_powerup(Powerup::fireball, 1, true);
    EXPECT_EQ(f.field.pending_powerup_effects(), 3);
    f.run(600);
    EXPECT_EQ(f.field.powerups(Powerup::hand), 1);
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 0);
    EXPECT_EQ(f.field.pending_powerup_effects(), 2);
    f.run(600);
    EXPECT_EQ(f.field.powerups(Powerup::hand), 3);
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 1);
    EXPECT_EQ(f.field.pending_powerup_effects(), 0);
}

TEST(FieldPowerups, AGainFliesOnlyWhileTheFieldClockRuns)
{
    GainField f;
    f.field.add_powerup(Powerup::coin, 1, true);
    f.field.start_time_stop();
    f.run(3000);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 0) << "time stands";
    f.field.end_time_stop();
    f.run(3000);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 1);
}

TEST(FieldPowerups, AnUnknownPowerupFliesWithTheBaseEffectAndCountsNothing)
{
    GainField f;
    Heard heard(f.field);
    f.field.add_powerup(Powerup(9), 2, true);
    EXPECT_EQ(f.field.pending_powerup_effects(), 1);
    f.run(1100);
    EXPECT_EQ(f.field.pending_powerup_effects(), 0);
    EXPECT_EQ(heard.powerups, 0);
    EXPECT_TRUE(f.game.tips.empty());
    for (Powerup powerup : all_powerups)
        EXPECT_EQ(f.field.powerups(powerup), 0);
    f.field.add_powerup(Powerup(-1), 2, false);
    EXPECT_EQ(heard.powerups, 0);
}

TEST(FieldPowerups, AGainWhoseEffectGoesBeforeItLandsNeverCounts)
{
    GainField f;
    f.field.add_powerup(Powerup::clock, 1, true);
    f.run(500);
    f.field.effect_layer().clear_children();
    f.run(2000);
    EXPECT_EQ(f.field.powerups(Powerup::clock), 0);
}

TEST(FieldPowerups, AGainWithoutItsEffectCountsAtOnce)
{
    PieceField f;
    f.game.animate = true;
    f.field.add_powerup(Powerup::coin, 2, true);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 2) << "no gain is lost for want of its effect";
    EXPECT_EQ(f.field.pending_powerup_effects(), 0);
}

TEST(FieldPowerups, PendingEffectsCountTheGamesToo)
{
    PieceField f;
    EXPECT_FALSE(f.field.has_pending_effects());
    f.game.effects_running = 1;
    EXPECT_TRUE(f.field.has_pending_effects());
}

}
}
