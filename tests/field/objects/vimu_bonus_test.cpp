#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/art/text_sprite.h"
#include "game/field/objects/vimu.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

const char* bonused_mission = R"(
    bonused : mission_keys { bonuses { vimoes_per_bonus 1000
        splinter <bonus> : bonus_keys { name "{#bonus.splinter}" }
        cost_3x <bonus> : bonus_keys { data 3 name "{#bonus.cost}" }
        shock_wave <bonus> : bonus_keys { data 100 }
        spirit <bonus> : bonus_keys { data 2 }
        treasure <bonus> : bonus_keys { }
        explode <bonus> : bonus_keys { data 1 life_time_on_field 3 end_type on_turn } } })";
const char* text_effects = test::floating_text_effect;

class VimuBonusTest : public testing::Test
{
protected:
    VimuBonusTest() : m_f({}, bonused_mission, "bonused", text_effects) {}

    // Sets the piece off with the bonus and lets it burst and leave.
    void burst(Vimu* piece, Bonus bonus)
    {
        piece->set_bonus(int(bonus));
        piece->explode();
        m_field.update(10);
        m_field.update(10);
    }

    // The labels shown over the pieces.
    std::vector<std::string> labels()
    {
        std::vector<std::string> shown;
        m_field.effect_layer().for_each_child([&shown](Sprite* child) {
            if (auto* text = dynamic_cast<TextSprite*>(child))
                shown.push_back(text->text());
        }, false);
        return shown;
    }

    std::size_t items_of_size(float size) const
    {
        return std::size_t(std::count_if(m_field.items().begin(), m_field.items().end(),
                                         [size](const SharedPtr<Item>& item) { return item->size().x == size; }));
    }

    PieceField m_f;
    Field& m_field = m_f.field;
};

TEST_F(VimuBonusTest, TripleCostPaysTwiceTheCostMoreWithItsLabel)
{
    for (const bool extra : {false, true}) {
        PieceField f({}, bonused_mission, "bonused", text_effects);
        f.game.extra = extra;
        Vimu* piece = f.add("red", {300, 300});
        const SharedPtr<Item> hold(piece);
        f.add("blue", {700, 700});
        piece->set_bonus(int(Bonus::cost_3x));
        piece->explode();
        f.field.update(10);
        EXPECT_EQ(piece->score(), extra ? 35 : 30);
        EXPECT_EQ(f.field.progress(), extra ? 35 : 30);
        std::vector<TextSprite*> label;
        f.field.effect_layer().for_each_child([&label](Sprite* child) {
            label.push_back(dynamic_cast<TextSprite*>(child));
        }, false);
        ASSERT_EQ(label.size(), 1u);
        EXPECT_EQ(label[0]->text(), "{#bonus.cost}");
        EXPECT_EQ(label[0]->color(), (Color{0.4f, 1.0f, 0.7f, 1.0f}));
        std::vector<std::string> points;
        f.field.top_layer().for_each_child([&points](Sprite* child) {
            points.push_back(dynamic_cast<TextSprite*>(child)->text());
        }, false);
        EXPECT_EQ(points, std::vector<std::string>{"+ 20"}) << "the extra points show over the piece";
    }
}

TEST_F(VimuBonusTest, AShockWaveExplodesPiecesWithAGenStrictlyWithinItsReach)
{
    Vimu* source = m_f.add("red", {300, 300});
    Vimu* near = m_f.add("blue", {380, 300});
    const SharedPtr<Item> hold(near);
    Vimu* at_reach = m_f.add("red", {300, 400});
    Vimu* no_gen = m_f.add("grey", {300, 250});
    const Vector2<float> d = at_reach->body_position() - source->body_position();
    ASSERT_EQ(d.x * d.x + d.y * d.y, 100.0f * 100.0f);
    burst(source, Bonus::shock_wave);

    EXPECT_TRUE(near->has_exploded());
    EXPECT_FALSE(at_reach->has_exploded());
    EXPECT_FALSE(no_gen->has_exploded());
    EXPECT_TRUE(labels().empty()) << "an empty name shows no label";
}

TEST_F(VimuBonusTest, ASplinterSetsOffAPieceOfTheSameGenInTheSameChain)
{
    Vimu* lone = m_f.add("blue", {300, 300});
    Vimu* other = m_f.add("red", {600, 300});
    burst(lone, Bonus::splinter);
    EXPECT_FALSE(other->has_exploded()) << "no other piece of its gen";
    EXPECT_EQ(labels(), std::vector<std::string>{"{#bonus.splinter}"});

    Vimu* source = m_f.add("red", {300, 500});
    const SharedPtr<Item> hold(source);
    source->ignite(nullptr);
    source->set_bonus(int(Bonus::splinter));
    source->explode();
    m_field.update(10);
    EXPECT_EQ(other->chain(), source->chain()) << "the struck piece dies in the splinter's chain";
    EXPECT_TRUE(other->has_exploded()) << "without a flight the splinter strikes at once";
}

TEST_F(VimuBonusTest, SpiritsTreasureAndExplosionActAtTheBurst)
{
    m_f.add("red", {700, 700});
    burst(m_f.add("red", {300, 300}), Bonus::spirit);
    EXPECT_EQ(items_of_size(10.0f), 2u) << "two spirits of gen 1";

    Vimu* treasure = m_f.add("blue", {500, 300});
    m_f.add("blue", {700, 100});
    burst(treasure, Bonus::treasure);
    EXPECT_EQ(items_of_size(10.0f) + items_of_size(20.0f) + items_of_size(30.0f), 3u) << "and one jewel";

    Vimu* pushed = m_f.add("blue", {200, 600});
    burst(m_f.add("red", {100, 600}), Bonus::explode);
    EXPECT_GT(pushed->velocity().x, 0.0f) << "pushed away";
    EXPECT_EQ(m_field.initial_bonuses().at(Bonus::explode), 3) << "its turns on the field";
}

TEST_F(VimuBonusTest, ASpiritBonusOfStrengthZeroMakesNoSpirit)
{
    PieceField f({}, R"(
        weak : mission_keys { bonuses { vimoes_per_bonus 1000 spirit <bonus> : bonus_keys { data 0 } } })", "weak");
    f.add("red", {700, 700});
    Vimu* piece = f.add("red", {300, 300});
    piece->set_bonus(int(Bonus::spirit));
    piece->explode();
    f.field.update(10);
    f.field.update(10);
    EXPECT_EQ(f.field.items().size(), 1u);
}

}
}
