#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/field/objects/vimu.h"
#include "tests/field/vimu_fixture.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using test::PieceField;

class VimuTest : public testing::Test
{
protected:
    PieceField m_f;
    Field& m_field = m_f.field;
};

TEST_F(VimuTest, ReadsItsKeysAndEntersTheField)
{
    int changes = 0;
    m_field.on_items_changed().connect([&changes] { ++changes; }, this);
    Vimu* red = m_f.add("red", {200, 300});
    Vimu* green = m_f.add("green", {400, 300});

    EXPECT_EQ(red->cost(), 10);
    EXPECT_EQ(red->color(), (Color{1, 0, 0, 1}));
    EXPECT_EQ(red->tremble_type(), TrembleType::scale);
    EXPECT_EQ(green->tremble_type(), TrembleType::move);
    EXPECT_EQ(red->fuse_end(), -1);
    EXPECT_EQ(red->bonus(), -1) << "no bonus can be drawn on this field";
    EXPECT_EQ(red->burn_emitter().get(), nullptr) << "no burn emitter described";
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(m_field.pieces().count(1), 2u);
    EXPECT_EQ(m_field.pieces_left(), 2);
    EXPECT_TRUE(red->has_group());
    EXPECT_TRUE(red->is_plain());
}

TEST_F(VimuTest, AShotPieceLightsAPieceOfItsGenAndBothBurstOnTime)
{
    Vimu* shot = m_f.add("red", {200, 300});
    Vimu* target = m_f.add("green", {300, 300});
    Vimu* other = m_f.add("blue", {200, 600});
    std::vector<Item*> dying;
    std::vector<Item*> exploded;
    m_field.on_piece_dying().connect([&dying](Item* piece) { dying.push_back(piece); }, this);
    m_field.on_piece_exploded().connect([&exploded](Item* piece) { exploded.push_back(piece); }, this);
    const SharedPtr<Item> hold_shot(shot);
    const SharedPtr<Item> hold_target(target);

    ASSERT_TRUE(m_f.shoot({200, 300}, {180, 300}));
    EXPECT_NEAR(shot->velocity().x, 20.0f * 50.0f / shot->mass(), 1e-2f) << "50 times the drag";
    EXPECT_TRUE(shot->is_struck());

    int lit_at = -1;
    for (int t = 0; t < 1000 && lit_at < 0; t += 10) {
        m_field.update(10);
        if (target->is_ignited())
            lit_at = m_field.field_time();
    }
    ASSERT_GE(lit_at, 0) << "the target caught fire";
    EXPECT_TRUE(shot->is_ignited()) << "and so did the shot piece, touching it";
    EXPECT_EQ(target->fuse_end(), target->fuse_start() + 1500);
    EXPECT_EQ(shot->chain(), target->chain()) << "one chain";
    EXPECT_NE(shot->chain(), 0);
    EXPECT_EQ(dying.size(), 2u);
    EXPECT_FALSE(other->is_ignited());
    EXPECT_FALSE(target->has_group()) << "a lit piece chains no more";

    // Trembling by scale follows the fuse's time.
    m_field.update(10);
    const float t = float(m_field.field_time() - shot->fuse_start()) * 0.001f;
    EXPECT_NEAR(shot->tremble_scale(), 0.95f + 0.05f * std::sin(24.0f * t), 1e-5f);
    EXPECT_FLOAT_EQ(target->tremble_scale(), 1.0f);
    EXPECT_NE(target->tremble_offset(), (Vector2<float>{})) << "the green piece trembles by moving";

    while (m_field.field_time() < target->fuse_end() - 10)
        m_field.update(10);
    EXPECT_FALSE(target->has_exploded());
    m_field.update(10);
    EXPECT_TRUE(target->has_exploded());
    EXPECT_FALSE(target->is_dead()) << "it bursts at its next update";
    m_field.update(10);
    m_field.update(10);
    EXPECT_TRUE(target->is_dead());
    EXPECT_TRUE(shot->is_dead());
    EXPECT_EQ(exploded.size(), 2u);
    EXPECT_EQ(m_field.items().size(), 1u);
    EXPECT_EQ(m_field.pieces_left(), 1);

    // Each burst scores the cost; its payout reaches progress and meter.
    EXPECT_EQ(target->score(), 10);
    EXPECT_EQ(m_field.progress(), 20);
    EXPECT_EQ(m_field.meter(), 500000 - 1000 + 2 * 10000);
    EXPECT_TRUE(m_field.chain_counts().empty()) << "the chain closed with its last piece";
}

TEST_F(VimuTest, CatchesFireOnlyFromABurningPieceOfItsGen)
{
    Vimu* a = m_f.add("red", {200, 300});
    Vimu* b = m_f.add("green", {300, 300});
    Vimu* c = m_f.add("blue", {400, 300});
    EXPECT_FALSE(a->same_group(*b)) << "two plain pieces of one gen";
    a->strike({}, a->position());
    EXPECT_TRUE(a->same_group(*b));
    EXPECT_TRUE(b->same_group(*a));
    EXPECT_FALSE(c->same_group(*a)) << "a struck piece and another gen";
    EXPECT_FALSE(a->same_group(*c));
    m_field.set_all_burning(true);
    EXPECT_TRUE(c->same_group(*c) && b->is_burning());
    m_field.set_all_burning(false);

    b->ignite(nullptr);
    EXPECT_FALSE(a->same_group(*b)) << "a lit piece lights nothing by the gen rule";
}

TEST_F(VimuTest, DiesOnceAndChainsByTheDyingCause)
{
    Vimu* a = m_f.add("red", {100, 100});
    Vimu* b = m_f.add("red", {200, 100});
    Vimu* c = m_f.add("red", {300, 100});
    Vimu* bystander = m_f.add("red", {400, 100});
    int dying = 0;
    m_field.on_piece_dying().connect([&dying](Item*) { ++dying; }, this);

    a->ignite(nullptr);
    const int fuse = a->fuse_end();
    m_field.update(100);
    a->ignite(nullptr);
    EXPECT_EQ(a->fuse_end(), fuse) << "a second ignition does not restart the fuse";
    b->ignite(a);
    EXPECT_EQ(b->chain(), a->chain()) << "lit by a dying piece: its chain";
    c->ignite(bystander);
    EXPECT_NE(c->chain(), a->chain()) << "lit by a piece that is not dying: a chain of its own";
    EXPECT_EQ(m_field.chain_counts(), (std::map<int, int>{{a->chain(), 2}, {c->chain(), 1}}));

    int explosions = 0;
    m_field.on_piece_exploded().connect([&explosions](Item*) { ++explosions; }, this);
    bystander->explode();
    bystander->explode();
    EXPECT_EQ(explosions, 1);
    bystander->ignite(a);
    EXPECT_TRUE(bystander->has_exploded());
    EXPECT_EQ(bystander->fuse_end(), -1) << "an exploded piece is not lit again";
    EXPECT_EQ(bystander->chain(), 0);
    EXPECT_EQ(dying, 3) << "each piece announced its dying once";
}

TEST_F(VimuTest, TurnEndCountsTheBonusDownAndForgetsAStrike)
{
    Vimu* a = m_f.add("red", {100, 100});
    Vimu* b = m_f.add("blue", {300, 100});
    a->set_bonus(int(Bonus::magnetic));
    EXPECT_EQ(a->bonus_turns(), 0) << "no settings on this field";
    EXPECT_TRUE(a->is_attractor());
    a->strike({}, a->position());
    b->ignite(nullptr);
    b->strike({}, b->position());
    m_field.end_turn();
    EXPECT_FALSE(a->is_struck());
    EXPECT_TRUE(b->is_struck()) << "a lit piece stays struck";
    EXPECT_EQ(a->bonus(), int(Bonus::magnetic)) << "a count of 0 stays until the burst";
}

TEST(VimuDraw, TheCarriedBonusTwinklesOverThePiece)
{
    PieceField f({}, R"(bonus : mission_keys {
        bonuses { vimoes_per_bonus 10 cost_3x <bonus> : bonus_keys { twinkling true } } })", "bonus");
    Vimu* piece = f.add("red", {300, 200});
    piece->set_angle(0.5f);
    f.run(200);
    piece->set_bonus(int(Bonus::cost_3x));
    EXPECT_EQ(piece->bonus_turns(), 2);
    EXPECT_EQ(piece->bonus_time(), 200);
    f.run(400);
    test::RecordingArtist artist;
    piece->prepare_quads();
    piece->draw(0, artist);
    const ImageSprite& sprite = f.field.bonus_settings(Bonus::cost_3x)->sprite_on_vimu;
    EXPECT_EQ(sprite.position(), (Vector2<float>{}) ) << "not over the main pass";
    piece->draw(1, artist);
    EXPECT_EQ(sprite.position(), (Vector2<float>{300, 200}));
    EXPECT_FLOAT_EQ(sprite.rotation(), 0.5f);
    const float s = (std::sin(400 * 0.0025f) + 1.0f) * 0.5f;
    EXPECT_NEAR(sprite.color().r, 1.0f - 0.3f * s, 1e-5f);
    EXPECT_NEAR(sprite.color().a, 1.0f - 0.2f * s, 1e-5f);

    // The bonus runs out after its turns.
    f.field.end_turn();
    f.field.end_turn();
    EXPECT_EQ(piece->bonus(), -1);
}

TEST_F(VimuTest, APieceSinkingWithALitFuseExplodes)
{
    Vimu* a = m_f.add("red", {100, 100});
    Vimu* b = m_f.add("blue", {300, 100});
    a->ignite(nullptr);
    a->on_fallen();
    b->on_fallen();
    EXPECT_TRUE(a->has_exploded());
    EXPECT_FALSE(b->has_exploded());
}

}
}
