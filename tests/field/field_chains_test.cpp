#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "engine/art/text_sprite.h"
#include "game/field/idols/mastery_idol.h"
#include "game/field/objects/vimu.h"
#include "vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

// A mission with a mastery idol.
const char* scored_mission = R"(
    scored : mission_keys { mastery <idol> "class kq::MasteryIdol" { present true sprite : image_keys { } rainbow ""
        target_mastery 1000 sword : image_keys { } } })";
const char* text_effects = test::floating_text_effect;

struct Caption
{
    std::string text;
    Color colour;
    friend bool operator==(const Caption&, const Caption&) = default;
};

class ChainsTest : public testing::Test
{
protected:
    ChainsTest() : m_f({}, scored_mission, "scored", text_effects)
    {
        m_field.on_chain().connect([this](int count) { m_chains.push_back(count); }, this);
    }

    int mastery() const
    {
        const auto* idol = dynamic_cast<const MasteryIdol*>(m_field.idols().at(0).get());
        return std::accumulate(idol->turn_points().begin(), idol->turn_points().end(), 0);
    }

    // The bonus captions shown over pieces, oldest first.
    std::vector<Caption> captions()
    {
        std::vector<Caption> shown;
        m_field.effect_layer().for_each_child([&shown](Sprite* child) {
            if (auto* text = dynamic_cast<TextSprite*>(child))
                shown.push_back({text->text(), text->color()});
        }, false);
        return shown;
    }

    bool tip_shown(const std::string& name) const
    {
        for (const auto& [tip, point] : m_f.game.tips)
            if (tip == name)
                return true;
        return false;
    }

    // A piece of gen 1 shot 20 pixels to the right, alone in the middle of the field.
    Vimu* shoot_lone_piece(Vector2<float> at = {500, 400})
    {
        Vimu* piece = m_f.add("red", at);
        EXPECT_TRUE(m_f.shoot(at, at - Vector2<float>{20, 0}));
        return piece;
    }

    PieceField m_f;
    Field& m_field = m_f.field;
    std::vector<int> m_chains;
};

TEST_F(ChainsTest, ARowOfThreeStruckByAShotIsOneChainOfThree)
{
    Vimu* shot = m_f.add("red", {100, 300});
    m_f.add("green", {300, 300});
    m_f.add("red", {345, 300});
    m_f.add("blue", {600, 600});
    int hits = 0;
    m_field.on_piece_dying().connect([&](Item* piece) {
        if (piece == shot)
            hits = m_field.shot_hits();
    }, this);
    ASSERT_TRUE(m_f.shoot({100, 300}, {0, 300}));

    m_f.run(6000);
    EXPECT_EQ(m_chains, std::vector<int>{3});
    EXPECT_EQ(m_field.pieces_left(), 1);
    EXPECT_EQ(m_field.destroyed(), 3);
    EXPECT_TRUE(tip_shown("combo_chain"));
    // The chain pays 100 and 3 mastery; a ricochet of the shot piece pays on top.
    const int rebounds = std::max(hits - 1, 0);
    EXPECT_EQ(mastery(), 3 + (rebounds > 0 ? std::min(rebounds, 3) + 1 : 0));
    EXPECT_EQ(m_field.progress(), 3 * 10 + 100 + 20 * rebounds);
    const std::vector<Caption> shown = captions();
    EXPECT_NE(std::find(shown.begin(), shown.end(), Caption{"{#combo.chain} 3{#combo.mul}", {0, 1, 0, 1}}), shown.end());
}

TEST_F(ChainsTest, AChainPaysFromThreePiecesOn)
{
    struct Case
    {
        int pieces;
        int bonus;
        int mastery;
    };
    for (const Case c : {Case{1, 0, 0}, Case{2, 0, 0}, Case{3, 100, 3}, Case{9, 700, 11}}) {
        PieceField f({}, scored_mission, "scored", text_effects);
        std::vector<int> chains;
        f.field.on_chain().connect([&chains](int count) { chains.push_back(count); }, this);
        std::vector<Vimu*> pieces;
        std::vector<SharedPtr<Item>> held;
        for (int i = 0; i < c.pieces; ++i) {
            pieces.push_back(f.add("red", {100.0f + 90.0f * float(i), 300}));
            held.emplace_back(pieces.back());
        }
        pieces[0]->ignite(nullptr);
        for (int i = 1; i < c.pieces; ++i)
            pieces[std::size_t(i)]->ignite(pieces[std::size_t(i - 1)]);
        ASSERT_EQ(f.field.chain_counts().size(), 1u);
        for (Vimu* piece : pieces)
            piece->explode();
        f.field.update(10);
        f.field.update(10);

        int paid = 0;
        for (const Vimu* piece : pieces)
            paid += piece->score();
        EXPECT_EQ(paid, 10 * c.pieces + c.bonus) << c.pieces;
        EXPECT_EQ(pieces.back()->score(), 10 + c.bonus) << "the last piece to go pays the chain";
        const auto* idol = dynamic_cast<const MasteryIdol*>(f.field.idols().at(0).get());
        EXPECT_EQ(std::accumulate(idol->turn_points().begin(), idol->turn_points().end(), 0), c.mastery) << c.pieces;
        EXPECT_EQ(chains, c.bonus ? std::vector<int>{c.pieces} : std::vector<int>{}) << c.pieces;
        EXPECT_TRUE(f.field.chain_counts().empty());
    }
}

TEST_F(ChainsTest, PiecesLitApartAreChainsApart)
{
    Vimu* a = m_f.add("red", {100, 300});
    Vimu* b = m_f.add("red", {300, 300});
    Vimu* c = m_f.add("red", {500, 300});
    a->ignite(nullptr);
    b->ignite(nullptr);
    c->ignite(a);
    EXPECT_EQ(m_field.chain_counts().size(), 2u) << "a chain opened without a cause merges with none";
    EXPECT_EQ(c->chain(), a->chain());
}

TEST_F(ChainsTest, ARicochetPaysForEveryHitAfterTheFirst)
{
    struct Case
    {
        int hits;
        int bonus;
        int mastery;
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 20, 2}, Case{6, 100, 4}}) {
        PieceField f({}, scored_mission, "scored", text_effects);
        Vimu* piece = f.add("red", {500, 400});
        ASSERT_TRUE(f.shoot({500, 400}, {480, 400}));
        for (int i = 0; i < c.hits; ++i) {
            f.field.update(20);
            f.field.count_hit(*piece);
            f.field.count_hit(*piece);
        }
        EXPECT_EQ(f.field.shot_hits(), c.hits) << "one hit per 10 ms at most";
        piece->ignite(nullptr);

        EXPECT_EQ(piece->score(), c.bonus) << c.hits;
        const auto* idol = dynamic_cast<const MasteryIdol*>(f.field.idols().at(0).get());
        EXPECT_EQ(std::accumulate(idol->turn_points().begin(), idol->turn_points().end(), 0), c.mastery) << c.hits;
    }
}

TEST_F(ChainsTest, ATrailOfShotsWhosePiecesDiePaysFromTheFifthOn)
{
    // Shot number: the bonus, mastery and text it pays.
    struct Expect
    {
        int bonus;
        int mastery;
        std::string text;
    };
    const std::map<int, Expect> expected = {
        {4, {0, 0, ""}},
        {5, {10, 1, "{#combo.trail} 5{#combo.mul}"}},
        {10, {60, 1, "{#combo.trail} 10{#combo.mul}"}},
        {14, {60, 2, "{#combo.trail} 10{#combo.mul} {#combo.max}"}},
    };
    for (int shot = 1; shot <= 14; ++shot) {
        const int mastery_before = mastery();
        const std::size_t texts_before = captions().size();
        Vimu* piece = shoot_lone_piece({60.0f * float(shot), 400});
        piece->ignite(nullptr);
        EXPECT_EQ(m_field.trail_count(), shot);
        const auto found = expected.find(shot);
        if (found != expected.end()) {
            EXPECT_EQ(piece->score(), found->second.bonus) << shot;
            EXPECT_EQ(mastery() - mastery_before, found->second.mastery) << shot;
            const std::vector<Caption> shown = captions();
            if (found->second.bonus > 0) {
                ASSERT_GT(shown.size(), texts_before);
                EXPECT_EQ(shown[texts_before], (Caption{found->second.text, {0, 1, 0, 1}})) << shot;
            }
        }
        m_field.end_turn();
    }

    // A shot whose piece lives through its turn breaks the trail.
    shoot_lone_piece({100, 600});
    m_field.end_turn();
    EXPECT_EQ(m_field.trail_count(), 0);
}

TEST_F(ChainsTest, AShotThatCutsTheTurnShortAndScoresIsFast)
{
    for (const int difficulty : {0, 2}) {
        PieceField f({}, scored_mission, "scored", text_effects);
        f.game.difficulty_index = difficulty;
        f.add("red", {200, 200});
        ASSERT_TRUE(f.shoot({200, 200}, {180, 200}));
        f.field.update(500);
        Vimu* second = f.add("blue", {500, 500});
        ASSERT_TRUE(f.shoot({500, 500}, {480, 500}));
        EXPECT_EQ(f.field.turn_count(), 1) << "the first turn ended at the second shot";
        EXPECT_TRUE(f.field.turn_cut());
        second->ignite(nullptr);

        EXPECT_FALSE(f.field.turn_cut()) << difficulty;
        EXPECT_EQ(second->score(), difficulty == 2 ? 0 : 25) << difficulty;
        const auto* idol = dynamic_cast<const MasteryIdol*>(f.field.idols().at(0).get());
        EXPECT_EQ(std::accumulate(idol->turn_points().begin(), idol->turn_points().end(), 0), difficulty == 2 ? 0 : 2);
    }
}

TEST_F(ChainsTest, ALongFlightShowsItsBonusButPaysNothingOut)
{
    Vimu* piece = m_f.add("red", {100, 400});
    ASSERT_TRUE(m_f.shoot({100, 400}, {0, 400}));
    while (m_field.flight_length() <= 750.0f && m_field.field_time() < 20000)
        m_field.update(10);
    ASSERT_GT(m_field.flight_length(), 750.0f);
    piece->ignite(nullptr);

    EXPECT_TRUE(tip_shown("combo_long"));
    EXPECT_EQ(piece->score(), 0) << "the long shot raises no payout";
    EXPECT_EQ(mastery(), 6);
    EXPECT_EQ(captions(), std::vector<Caption>{(Caption{"{#combo.long_shot}", {0.3f, 0.26f, 0.58f, 1.0f}})});
    std::vector<std::string> points;
    m_field.top_layer().for_each_child([&points](Sprite* child) {
        points.push_back(dynamic_cast<TextSprite*>(child)->text());
    }, false);
    EXPECT_EQ(points, std::vector<std::string>{"+ 50"}) << "shown all the same";
}

TEST_F(ChainsTest, EveryTwelfthPieceDropsAJewelForProfilesWithJewels)
{
    for (const bool jewels : {false, true}) {
        PieceField f;
        f.game.jewels = jewels;
        f.game.points = {{700, 700}};
        std::vector<Vimu*> pieces;
        for (int i = 0; i < 14; ++i)
            pieces.push_back(f.add(i % 2 ? "red" : "blue", {50.0f + 60.0f * float(i), 300}));
        const auto count_jewels = [&f] {
            return std::count_if(f.field.items().begin(), f.field.items().end(),
                                 [](const SharedPtr<Item>& item) { return !dynamic_cast<Vimu*>(item.get()); });
        };
        for (int i = 0; i < 13; ++i) {
            pieces[std::size_t(i)]->explode();
            f.field.update(10);
            f.field.update(10);
            EXPECT_EQ(count_jewels(), jewels && i >= 11 ? 1 : 0) << i + 1 << " destroyed";
        }
        EXPECT_EQ(f.field.destroyed(), 13);
    }
}

TEST_F(ChainsTest, TheLastPieceDestroyedWinsARunningMission)
{
    std::vector<GameState> states;
    m_field.on_game_state_changed().connect([&states](GameState state) { states.push_back(state); }, this);
    Vimu* a = m_f.add("red", {200, 300});
    Vimu* b = m_f.add("blue", {500, 300});
    a->explode();
    m_f.run(20);
    EXPECT_TRUE(states.empty());
    b->explode();
    m_f.run(20);
    EXPECT_EQ(states, std::vector<GameState>{GameState::win});
    EXPECT_EQ(m_field.game_state(), GameState::win);

    PieceField lost;
    Vimu* last = lost.add("red", {200, 300});
    lost.field.set_game_state(GameState::fail);
    last->explode();
    lost.run(20);
    EXPECT_EQ(lost.field.game_state(), GameState::fail) << "a lost mission stays lost";
}

}
}
