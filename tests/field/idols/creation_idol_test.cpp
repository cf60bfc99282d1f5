#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/objects/vimu.h"
#include "tests/art/art_res_support.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/field_object_fixture.h"
#include "tests/field/item_fixture.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// Pieces of three producible kinds: ruby (gen 1) and jade (gen 2) with their in-hand
// pictures, opal (gen 3) without one; a shot costs 1000 of a meter of 500000. A mission
// "<name> : yard { idol keys }" lays out pieces by the picture's codes: -1 ruby, -2 jade,
// -3 opal, 40 pixels apart.
const char* const creation_skin = R"(
    items {
        ruby <creating> "class kq::Vimu" : piece_keys { gen 1 color [(1, 0, 0)]
            inhand_sprite : image_keys { texture "ruby.png" size [(20, 20)] } }
        jade <creating> "class kq::Vimu" : piece_keys { gen 2 color [(0, 0.5, 0)]
            inhand_sprite : image_keys { texture "jade.png" size [(20, 20)] } }
        opal <creating> "class kq::Vimu" : piece_keys { gen 3 color [(0, 0, 1)] }
    }
    idol_keys {
        present true sprite : image_keys { texture "idol.png" } rainbow "class kq::ImageSprite" : image_keys { }
        vimu_back : image_keys { texture "back.png" size [(30, 30)] }
    }
)";

// Texture handles of the pictures.
constexpr TextureHandle ruby_picture = 1;
constexpr TextureHandle jade_picture = 2;
constexpr TextureHandle back_picture = 3;
constexpr TextureHandle idol_picture = 4;

// A field of one mission of `pieces` (picture codes) and an idol of `keys`.
class CreationField
{
public:
    CreationField(const std::string& pieces, const std::string& keys)
        : m_skin(test::item_skin(std::string(test::sprite_defaults) + test::mission_defaults + creation_skin +
                                 "mission : mission_keys {" +
                                 " yard <picture> { start_position [(300, 300)] step 50 row 8 vimus [{ " + pieces +
                                 " }] bank [{ ruby jade opal }] } creation <idol> \"class kq::CreationIdol\" : idol_keys { " + keys + " } }"))
    {
        texture("ruby.png", ruby_picture);
        texture("jade.png", jade_picture);
        texture("back.png", back_picture);
        texture("idol.png", idol_picture);
        game.points = {{500, 50}};
        random_seed(3);
        field.read_skin(SkinPath("mission"));
    }

    CreationIdol& idol() { return dynamic_cast<CreationIdol&>(*field.idols().at(0)); }

    // The gens of the idol's hand, in order.
    std::vector<int> hand_gens()
    {
        std::vector<int> gens;
        for (const CreatableKind& kind : idol().hand())
            gens.push_back(kind.gen);
        return gens;
    }

    // The pieces on the field of the gen.
    std::vector<Vimu*> pieces_of(int gen)
    {
        std::vector<Vimu*> found;
        const auto [first, last] = field.pieces().equal_range(gen);
        for (auto entry = first; entry != last; ++entry)
            found.push_back(dynamic_cast<Vimu*>(entry->second));
        return found;
    }

    // Starts the death of every piece of the gen, as a chain does.
    void kill(int gen)
    {
        for (Vimu* piece : pieces_of(gen))
            field.on_piece_dying(*piece, nullptr);
    }

    // Shoots the first launchable piece and runs the field until its turn ends.
    void play_turn()
    {
        Vimu* piece = pieces_of(field.pieces().begin()->first).front();
        const Vector2<float> at = piece->position();
        ASSERT_TRUE(field.on_press(at));
        // Away from the row of pieces.
        field.set_aim_point({at.x, at.y - 30.0f});
        field.update_aim_point();
        field.launch();
        const int turns = field.turn_count();
        while (field.turn_count() == turns)
            field.update(10);
    }

private:
    void texture(const std::string& name, TextureHandle handle)
    {
        m_resources.add(name, SharedPtr<Texture>(new test::PlainTexture(handle, 32, 32)));
    }

    std::unique_ptr<test::TestSkinEnvironment> m_skin;
    test::TestResources m_resources;

public:
    test::FakeGame game;
    Field field{FieldSettings{}, game};
};

using Gens = std::vector<int>;

TEST(CreationIdol, ReadsItsCountsAndPlacesItsSlots)
{
    CreationField f("-1 -2", "initial_count 0 production_count 3 max_count 20 product_penalty 700 production_turns 5");
    const CreationIdol& idol = f.idol();
    EXPECT_EQ(idol.production_count(), 3);
    EXPECT_EQ(idol.max_count(), 20);
    EXPECT_EQ(idol.product_penalty(), 700);
    EXPECT_EQ(idol.production_turns(), 5);
    for (int i = 0; i < CreationIdol::slot_count; ++i) {
        EXPECT_EQ(idol.slot(i).back.position(), CreationIdol::slot_positions[std::size_t(i)]) << i;
        EXPECT_EQ(idol.slot(i).piece.position(), CreationIdol::slot_positions[std::size_t(i)]) << i;
        EXPECT_EQ(idol.slot(i).back.size(), (Vector2<float>{30, 30})) << "read from vimu_back";
    }

    CreationField bare("-1 -2", "");
    EXPECT_EQ(bare.idol().production_count(), 0);
    EXPECT_EQ(bare.idol().max_count(), 0) << "missing counts stay 0";
    EXPECT_EQ(bare.idol().mood(), IdolMood::bad) << "a maximum of 0 pieces is always reached";
    EXPECT_TRUE(bare.idol().hand().empty());
}

TEST(CreationIdol, DropsItsFirstBatchFreeAndShowsItsFirstHand)
{
    CreationField f("-1 -1 -2", "initial_count 2 production_count 3 max_count 20 product_penalty 700 production_turns 5");
    EXPECT_EQ(f.field.items().size(), 5u) << "three laid out, two dropped";
    EXPECT_EQ(f.field.meter(), 500000) << "the first batch costs nothing";
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
    ASSERT_EQ(f.idol().hand().size(), 3u);
    EXPECT_EQ(f.idol().shown(), 3);
    for (int i = 0; i < 3; ++i) {
        const CreationIdol::Slot& slot = f.idol().slot(i);
        const CreatableKind& kind = f.idol().hand()[std::size_t(i)];
        EXPECT_EQ(slot.kind, kind.path) << i;
        const Color tint = kind.gen == 1 ? Color{1, 0, 0, 1} : Color{0, 0.5f, 0, 1};
        EXPECT_EQ(slot.back.color(), tint) << "the background takes the kind's colour";
        EXPECT_EQ(slot.piece.size(), (Vector2<float>{20, 20})) << "the kind's in-hand picture";
    }

    CreationField none("-1 -2", "initial_count 0 production_count 2 max_count 20 production_turns 5");
    EXPECT_EQ(none.field.items().size(), 2u) << "no first batch";
    EXPECT_EQ(none.idol().hand().size(), 2u) << "but a first hand";
}

TEST(CreationIdol, DropsTheWholeHandAtTheTurnEndWithAPenaltyEach)
{
    CreationField f("-1 -1 -2 -2", "production_count 6 max_count 40 product_penalty 700 production_turns 2");
    EXPECT_EQ(f.idol().hand().size(), 6u);
    EXPECT_EQ(f.idol().shown(), 4) << "four slots at most";
    std::vector<std::string> expected;
    for (const CreatableKind& kind : f.idol().hand())
        expected.push_back(kind.path.text());
    const int meter = f.field.meter();

    f.play_turn();
    std::vector<std::string> dropped;
    auto item = f.field.items().begin();
    std::advance(item, 4);
    for (; item != f.field.items().end(); ++item)
        dropped.push_back((*item)->skin_path().text());
    EXPECT_EQ(dropped, expected) << "the hand, in order";
    EXPECT_EQ(f.field.meter(), meter - f.field.throw_cost() * 500 - 6 * 700);
    EXPECT_EQ(f.idol().production_turns(), 1);
    EXPECT_EQ(f.idol().hand().size(), 6u) << "a new hand";

    f.play_turn();
    EXPECT_EQ(f.idol().production_turns(), 0);
    EXPECT_TRUE(f.idol().hand().empty()) << "production over: only a group of one piece is offered";
    f.field.add_item(create_from_skin<Vimu>(SkinPath("items.opal")), ItemPlacement{{600, 600}, 0});
    EXPECT_EQ(f.hand_gens(), (Gens{3})) << "one kind a turn";
}

TEST(CreationIdol, KeepsTheKindsOfItsHandWhenTheFieldChanges)
{
    CreationField f("-1 -1 -2 -2 -3", "production_count 4 max_count 40 production_turns 5");
    const std::vector<CreatableKind> before = f.idol().hand();
    for (int i = 0; i < 5; ++i) {
        auto* piece = create_from_skin<Vimu>(SkinPath("items.ruby"));
        f.field.add_item(piece, ItemPlacement{{100.0f + 50.0f * float(i), 600}, 0});
    }
    EXPECT_EQ(f.idol().hand(), before) << "every new piece drew the hand again";
}

TEST(CreationIdol, TurnsBadAtItsMaximumAndDropsNothing)
{
    CreationField f("-1 -1 -2 -2 -3", "production_count 3 max_count 6 product_penalty 700 production_turns 4");
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
    auto* piece = create_from_skin<Vimu>(SkinPath("items.jade"));
    f.field.add_item(piece, ItemPlacement{{600, 600}, 0});
    EXPECT_EQ(f.idol().mood(), IdolMood::bad) << "six pieces";
    EXPECT_TRUE(f.idol().hand().empty());
    EXPECT_EQ(f.idol().shown(), 0);

    const std::size_t items = f.field.items().size();
    const int meter = f.field.meter();
    f.field.end_turn();
    EXPECT_EQ(f.field.items().size(), items);
    EXPECT_EQ(f.field.meter(), meter);
    EXPECT_EQ(f.idol().production_turns(), 3) << "only the countdown runs";

    f.kill(3);
    EXPECT_EQ(f.idol().mood(), IdolMood::normal) << "below the maximum again";
    EXPECT_EQ(f.idol().hand().size(), 3u);
}

TEST(CreationIdol, OneGroupLeftPleasesItForGoodWithHandPowerups)
{
    CreationField f("-1 -2 -2", "production_count 3 max_count 40 product_penalty 700 production_turns 4");
    f.kill(2);
    EXPECT_EQ(f.idol().mood(), IdolMood::good);
    EXPECT_TRUE(f.idol().is_mood_locked());
    EXPECT_EQ(f.field.powerups(Powerup::hand), 3) << "production_count hand powerups";
    EXPECT_EQ(f.idol().rainbow()->parent(), &f.field.effect_layer()) << "the rainbow shows";
    EXPECT_EQ(f.hand_gens(), (Gens{1})) << "one kind a turn from now on";

    const std::size_t items = f.field.items().size();
    f.field.end_turn();
    EXPECT_EQ(f.field.items().size(), items + 1);
    EXPECT_EQ(f.idol().production_turns(), 4) << "no countdown while pleased";
    EXPECT_TRUE(f.idol().hand().empty()) << "its group now has two pieces";
    for (int i = 0; i < 40; ++i)
        f.field.add_item(create_from_skin<Vimu>(SkinPath("items.jade")), ItemPlacement{{20.0f * float(i), 650}, 0});
    EXPECT_EQ(f.idol().mood(), IdolMood::good) << "the mood stays locked past the maximum";
    EXPECT_EQ(f.field.powerups(Powerup::hand), 3);
}

TEST(CreationIdol, OneGroupLeftAfterProductionGivesNothing)
{
    CreationField f("-1 -1 -2 -2", "production_count 3 max_count 40 production_turns 1");
    f.field.end_turn();
    EXPECT_EQ(f.idol().production_turns(), 0);
    f.kill(2);
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
    EXPECT_FALSE(f.idol().is_mood_locked());
    EXPECT_EQ(f.field.powerups(Powerup::hand), 0);
}

TEST(CreationIdol, AHandHoldsOneKindAtLeastWhateverItsCount)
{
    // Negative counts in the data make one piece a turn, not billions.
    for (const int count : {-1, -5, 0, 1}) {
        CreationField f("-1 -2", "production_count " + std::to_string(count) + " max_count 40 production_turns 3");
        EXPECT_EQ(f.idol().hand().size(), 1u) << count;
    }
}

TEST(CreationIdol, AKindWithoutAPictureShowsAnEmptySlot)
{
    CreationField f("-3", "production_count 1 max_count 40 production_turns 3");
    ASSERT_EQ(f.hand_gens(), (Gens{3}));
    EXPECT_EQ(f.idol().slot(0).back.color(), (Color{0, 0, 1, 1}));
    EXPECT_FALSE(f.idol().slot(0).piece.is_visible());
}

TEST(CreationIdol, AsksForItsTipAndDrawsTheSlotsInUse)
{
    CreationField f("-1 -2", "production_count 2 max_count 40 production_turns 3");
    f.field.update(10);
    ASSERT_FALSE(f.game.tips.empty());
    EXPECT_EQ(f.game.tips.front(), (std::pair<std::string, Vector2<int>>{"idol_creation", {-1, -1}}));
    EXPECT_TRUE(f.idol().slot(3).back.is_started()) << "every background runs, shown or not";

    test::RecordingArtist artist;
    artist.begin_scene();
    f.idol().draw(artist);
    std::vector<TextureHandle> drawn;
    std::vector<Vector2<float>> corners;
    for (const test::DrawnQuad& quad : test::drawn_quads(artist)) {
        drawn.push_back(quad.texture);
        corners.push_back({quad.x(0), quad.y(0)});
    }
    std::vector<TextureHandle> pictures;
    for (const CreatableKind& kind : f.idol().hand())
        pictures.push_back(kind.gen == 1 ? ruby_picture : jade_picture);
    EXPECT_EQ(drawn, (std::vector<TextureHandle>{idol_picture, back_picture, back_picture, pictures[0], pictures[1]}));
    ASSERT_EQ(corners.size(), 5u);
    EXPECT_EQ(corners[1], CreationIdol::slot_positions[0]);
    EXPECT_EQ(corners[2], CreationIdol::slot_positions[1]);
    EXPECT_EQ(corners[4], CreationIdol::slot_positions[1]);
}

}
}
