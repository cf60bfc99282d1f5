#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/math_utils.h"
#include "engine/base/random.h"
#include "game/field/field.h"
#include "item_fixture.h"
#include "vimu_fixture.h"

namespace kq {
namespace {

using test::ProbeItem;

// Kinds of gens 1, 2, 3 and 3 that the field can produce, and one it cannot.
const char* const kinds = R"(
    items {
        ruby <creating> "class kq::Item" : item_keys { gen 1 size [(20, 20)] }
        jade <creating> "class kq::Item" : item_keys { gen 2 size [(20, 20)] }
        opal <creating> "class kq::Item" : item_keys { gen 3 size [(20, 20)] }
        onyx <creating> "class kq::Item" : item_keys { gen 3 size [(20, 20)] }
        wall "class kq::Item" : item_keys { gen 1 }
    }
    pieces {
        shot1 : item_keys { gen 1 launchable true size [(20, 20)] }
        shot3 : item_keys { gen 3 launchable true size [(20, 20)] }
        still1 : item_keys { gen 1 size [(20, 20)] }
        awning : item_keys { awning true size [(100, 100)] }
    }
)";

// A new item read from the node (the skin of the test is installed).
ProbeItem* read_probe(const std::string& path)
{
    auto* item = new ProbeItem;
    item->read_skin(SkinPath(path));
    return item;
}

class FieldProduction : public testing::Test
{
protected:
    FieldProduction() : m_skin(test::item_skin(kinds)) { m_field.index_creatable_items(); }

    ProbeItem* piece(int gen)
    {
        ProbeItem* item = read_probe("pieces.shot" + std::to_string(gen));
        m_field.add_item(item, {{float(100 + 50 * m_field.pieces().size()), 100}, 0});
        m_field.add_piece(*item);
        return item;
    }
    static CreatableKind kind(const char* name, int gen) { return {SkinPath(name), gen}; }

    std::unique_ptr<test::TestSkinEnvironment> m_skin;
    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

TEST_F(FieldProduction, IndexesTheCreatingKindsByGen)
{
    std::vector<std::pair<int, std::string>> index;
    for (const auto& [gen, path] : m_field.creatable())
        index.emplace_back(gen, path.text());
    EXPECT_EQ(index, (std::vector<std::pair<int, std::string>>{
                         {1, "items.ruby"}, {2, "items.jade"}, {3, "items.opal"}, {3, "items.onyx"}}));
}

TEST_F(FieldProduction, ChoosesAmongTheKindsOfGroupsOnTheField)
{
    CreatableKind out = kind("items.ruby", 1);
    m_field.choose_production(out, false, nullptr);
    EXPECT_EQ(out, CreatableKind()) << "no piece, no production";

    piece(1);
    piece(3);
    const std::vector<CreatableKind> candidates{kind("items.ruby", 1), kind("items.opal", 3), kind("items.onyx", 3)};
    random_seed(99);
    std::vector<int> expected;
    for (int i = 0; i < 300; ++i)
        expected.push_back(random_int(3));
    random_seed(99);
    std::map<std::string, int> counts;
    for (int i = 0; i < 300; ++i) {
        m_field.choose_production(out, false, nullptr);
        EXPECT_EQ(out, candidates[expected[i]]);
        ++counts[out.path.text()];
    }
    EXPECT_EQ(counts.count("items.jade"), 0u) << "no piece of gen 2";
    for (const auto& [name, count] : counts)
        EXPECT_NEAR(count, 100, 30) << name;

    m_field.set_game_state(GameState::win);
    m_field.choose_production(out, false, nullptr);
    EXPECT_EQ(out, CreatableKind()) << "the mission is over";
}

TEST_F(FieldProduction, RestrictedSkipsCrowdedGroupsWhileAPieceCanBeShot)
{
    piece(1);
    piece(1);
    piece(3);
    CreatableKind out;
    for (int i = 0; i < 20; ++i) {
        m_field.choose_production(out, true, nullptr);
        EXPECT_EQ(out.gen, 3);
    }

    test::FakeGame game;
    Field still(FieldSettings{}, game);
    still.index_creatable_items();
    ProbeItem* a = read_probe("pieces.still1");
    ProbeItem* b = read_probe("pieces.still1");
    still.add_item(a, {{100, 100}, 0});
    still.add_item(b, {{200, 100}, 0});
    still.add_piece(*a);
    still.add_piece(*b);
    still.choose_production(out, true, nullptr);
    EXPECT_EQ(out, kind("items.ruby", 1)) << "nothing can be shot: every group offers its kinds";
}

TEST_F(FieldProduction, PreferredKindsComeFirstAndAreUsedUp)
{
    piece(1);
    piece(3);
    std::vector<CreatableKind> preferred{kind("items.jade", 2), kind("items.onyx", 3), kind("items.ruby", 1)};
    CreatableKind out;
    m_field.choose_production(out, false, &preferred);
    EXPECT_EQ(out, kind("items.onyx", 3));
    EXPECT_EQ(preferred, (std::vector<CreatableKind>{kind("items.jade", 2), kind("items.ruby", 1)}));
}

TEST_F(FieldProduction, ProducedPiecesDropInBouncingAwayFromAwnings)
{
    ProbeItem* awning = read_probe("pieces.awning");
    m_field.add_item(awning, {{500, 500}, 0});
    m_game.points = {{500, 500}, {520, 480}, {800, 300}};
    random_seed(5);
    const float angle = random_float(2.0f * 3.14159265f);
    const float height = 5.0f + random_float(2.0f);
    const float speed = -2.0f - random_float(5.0f);
    random_seed(5);
    m_field.produce_item(SkinPath("items.opal"));

    ASSERT_EQ(m_field.items().size(), 2u);
    Item& made = *m_field.items().back();
    EXPECT_EQ(m_game.picks, 3) << "points under the awning are drawn again";
    EXPECT_EQ(made.position(), (Vector2<float>{800, 300}));
    EXPECT_NEAR(made.angle(), angle, 1e-5f);
    EXPECT_FLOAT_EQ(made.height(), height);
    EXPECT_FLOAT_EQ(made.vertical_speed(), speed);
    EXPECT_TRUE(made.is_jumping()) << "it bounces when it lands";
    EXPECT_FALSE(made.is_falling());
    EXPECT_EQ(m_field.draw_order().back(), &made);

    m_game.points = {{500, 500}};
    m_game.picks = 0;
    m_field.produce_item(SkinPath("items.ruby"));
    EXPECT_EQ(m_game.picks, 10) << "the tenth point is taken whatever it is";
    EXPECT_EQ(m_field.items().back()->position(), (Vector2<float>{500, 500}));

    m_field.produce_item(SkinPath());
    EXPECT_EQ(m_field.items().size(), 3u);
}

TEST_F(FieldProduction, ChecksEveryHalfSecondAndProducesWhenChainsRunOut)
{
    m_game.points = {{700, 300}};
    // A group of two launchable pieces can still chain: one piece on the third check.
    piece(1);
    piece(1);
    std::vector<int> produced_at;
    std::size_t count = m_field.items().size();
    while (m_field.field_time() < 2000) {
        m_field.update(10);
        if (m_field.items().size() != count) {
            produced_at.push_back(m_field.field_time());
            count = m_field.items().size();
        }
    }
    EXPECT_EQ(produced_at, (std::vector<int>{1520})) << "checks at 500, 1010 and 1520";
}

TEST_F(FieldProduction, ProducesAtOnceWhenNoChainIsPossible)
{
    m_game.points = {{700, 300}};
    piece(1);
    std::vector<int> produced_at;
    std::size_t count = m_field.items().size();
    while (m_field.field_time() < 1100) {
        m_field.update(10);
        if (m_field.items().size() != count) {
            produced_at.push_back(m_field.field_time());
            count = m_field.items().size();
        }
    }
    EXPECT_EQ(produced_at, (std::vector<int>{500, 1010})) << "a lone piece: every check produces";
}

// A game that always offers the production area's corner: each piece lands beside the
// others, inside the area, rather than on them.
TEST(FieldProductionPlace, PiecesProducedOnOnePointLandApart)
{
    test::PieceField f;
    f.game.points = {{100, 0}};
    for (int i = 0; i < 12; ++i)
        f.field.produce_item(SkinPath("items.red"));
    ASSERT_EQ(f.field.items().size(), 12u);
    std::vector<Vector2<float>> points;
    for (const SharedPtr<Item>& item : f.field.items())
        points.push_back(item->position());
    for (std::size_t i = 1; i < points.size(); ++i) {
        EXPECT_TRUE(points[i].x >= 120 && points[i].x <= 880 && points[i].y >= 20 && points[i].y <= 80)
            << i << ": " << points[i].x << ", " << points[i].y;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_GE(Vector2<float>::distance(points[i], points[j]), 40.0f) << i << " and " << j;
    }
    EXPECT_EQ(points[0], (Vector2<float>{100, 0})) << "a free drawn point is kept";
}

}
}
