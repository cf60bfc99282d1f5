#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/field.h"
#include "game/field/physics/physics_body.h"
#include "item_fixture.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::error_of;
using test::FakeGame;
using test::item_skin;
using testing::HasSubstr;

TEST(Field, StartsEmptyWithItsDefaults)
{
    FakeGame game;
    FieldSettings settings;
    settings.m_powerups = {1, 2, 3, 4, 5};
    Field field(settings, game);
    EXPECT_EQ(field.meter(), 50);
    EXPECT_EQ(field.max_meter(), 100);
    EXPECT_EQ(field.vimoes_per_bonus(), 10);
    EXPECT_FLOAT_EQ(field.friction_coefficient(), 1.0f);
    EXPECT_EQ(field.game_state(), GameState::running);
    EXPECT_EQ(field.mode(), GameMode::aim);
    EXPECT_EQ(field.settings().m_powerups, (std::array<int, 5>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(field.items().empty());
    EXPECT_EQ(field.world().body_count(), 0);

    const b2AABB& box = field.world().box();
    EXPECT_FLOAT_EQ(box.lowerBound.x, -60.0f);
    EXPECT_FLOAT_EQ(box.lowerBound.y, -30.0f);
    EXPECT_FLOAT_EQ(box.upperBound.x, 162.4f);
    EXPECT_FLOAT_EQ(box.upperBound.y, 106.8f);
}

TEST(Field, DragonflyEntersAtADrawnCornerWhenEarned)
{
    auto skin = item_skin(R"(items { dragonfly "class kq::Item" : item_keys { size [(30, 30)] } })");
    const std::vector<Vector2<float>> corners{{-100, 900}, {-100, -100}, {1200, -100}, {1200, 900}};
    std::vector<bool> seen(4, false);
    for (std::uint32_t seed = 1; seed < 40000; seed += 1999) {
        random_seed(seed);
        const int expected = random_next() * 4 / 32768;
        seen[expected] = true;

        FakeGame game;
        game.dragonfly = true;
        random_seed(seed);
        Field field(FieldSettings{}, game);
        ASSERT_EQ(field.items().size(), 1u);
        Item& dragonfly = *field.items().front();
        EXPECT_EQ(dragonfly.skin_path(), SkinPath("items.dragonfly"));
        EXPECT_EQ(dragonfly.position(), corners[expected]) << "seed " << seed;
        EXPECT_FLOAT_EQ(dragonfly.angle(), 0.0f);
        EXPECT_FALSE(dragonfly.body()->is_frozen()) << "the corners lie inside the world's box";
    }
    EXPECT_EQ(seen, std::vector<bool>(4, true)) << "the seeds reach every corner";

    FakeGame without;
    Field plain(FieldSettings{}, without);
    EXPECT_TRUE(plain.items().empty());
}

TEST(Field, DragonflyThatCannotBeMadeIsSkippedOrReported)
{
    FakeGame game;
    game.dragonfly = true;
    {
        test::LogCapture log;
        auto skin = item_skin(R"(items { dragonfly "" })");
        Field field(FieldSettings{}, game);
        EXPECT_TRUE(field.items().empty());
        EXPECT_THAT(log.text("error"), HasSubstr("No item is described at [items.dragonfly]"));
    }
    auto skin = item_skin(R"(items { dragonfly "class kq::Unknown" : item_keys { } })");
    EXPECT_THAT(error_of([&] { Field field(FieldSettings{}, game); }),
                HasSubstr("[class kq::Unknown] type descriptor not found"));
}

TEST(Field, NoItemToAddIsLoggedAndSkipped)
{
    FakeGame game;
    Field field(FieldSettings{}, game);
    test::LogCapture log;
    field.add_item(nullptr, ItemPlacement{{10, 10}, 0.0f});
    EXPECT_TRUE(field.items().empty());
    EXPECT_TRUE(field.draw_order().empty());
    EXPECT_THAT(log.text("error"), HasSubstr("No item to add"));
}

TEST(Field, TeardownLeavesNoHandlerConnected)
{
    auto skin = item_skin(R"(items { dragonfly "class kq::Item" : item_keys { density 1 } })");
    FakeGame game;
    game.dragonfly = true;
    const auto token = std::make_shared<int>(0);
    std::optional<Field> field;
    field.emplace(FieldSettings{}, game);
    const int owner = 0;
    // Every signal gets a handler holding the token; the handlers are the only holders.
    const auto connect_all = [&](auto held) {
        field->on_game_state_changed().connect(held, &owner);
        field->on_mode_changed().connect(held, &owner);
        for (Socket<void()>* socket :
             {&field->on_launch(), &field->on_shot_scored(), &field->on_turn_step(), &field->on_field_signal_7(),
              &field->on_meter_changed(), &field->on_meter_overload(), &field->on_items_changed(),
              &field->on_powerups_changed(), &field->on_progress_changed()})
            socket->connect(held, &owner);
        field->on_chain().connect(held, &owner);
        field->on_piece_dying().connect(held, &owner);
        field->on_piece_exploded().connect(held, &owner);
        field->on_item_removed().connect(held, &owner);
    };
    connect_all([token](auto&&...) { ++*token; });
    EXPECT_EQ(token.use_count(), 16);

    field.reset();
    EXPECT_EQ(token.use_count(), 1) << "every handler went with the field";

    // A field made in the same place starts without the old handlers.
    field.emplace(FieldSettings{}, game);
    field->on_launch().emit();
    field->on_game_state_changed().emit(GameState::win);
    field->on_item_removed().emit(nullptr);
    EXPECT_EQ(*token, 0);
}

TEST(Field, ModeAndGameStateChangesAreAnnounced)
{
    FakeGame game;
    Field field(FieldSettings{}, game);
    std::vector<std::string> told;
    field.on_mode_changed().connect([&](GameMode mode) { told.push_back("mode " + std::to_string(int(mode))); }, &told);
    field.on_game_state_changed().connect(
        [&](GameState state) { told.push_back("state " + std::to_string(int(state))); }, &told);

    field.set_state(GameMode::aim);
    EXPECT_TRUE(told.empty()) << "the current mode is no change";
    field.set_state(GameMode::strikes);
    EXPECT_EQ(field.strikes_left(), 5);
    field.set_state(GameMode::hand);
    field.set_game_state(GameState::running);
    field.set_game_state(GameState::win);
    EXPECT_EQ(field.mode(), GameMode::aim);
    EXPECT_EQ(field.danger_mode(), DangerMode::none);
    field.set_state(GameMode::fireball);
    field.set_game_state(GameState::win);
    field.set_game_state(GameState::fail);
    EXPECT_EQ(told, (std::vector<std::string>{"mode 2", "mode 1", "mode 0", "state 2", "state 1"}))
        << "a final state returns to aim first and then holds the mode";
    EXPECT_EQ(field.mode(), GameMode::aim);
}

TEST(Field, ListenerRecordsTheStepsContacts)
{
    auto skin = item_skin(R"(
        items {
            puck "class kq::Item" : item_keys { form circle density 1 size [(20, 20)] }
            wall "class kq::Item" : item_keys { form rect density 0 size [(20, 200)] }
        }
    )");
    FakeGame game;
    Field field(FieldSettings{}, game);
    Item* puck = test::item_at("items.puck");
    Item* wall = test::item_at("items.wall");
    field.add_item(puck, {{100, 100}, 0});
    field.add_item(wall, {{200, 100}, 0});
    puck->set_velocity({400, 0});
    for (int i = 0; i < 10 && field.contact_listener().results().empty(); ++i)
        field.world().step(0.05f, 10);

    const std::vector<ContactResult>& results = field.contact_listener().results();
    ASSERT_FALSE(results.empty());
    const ContactResult& hit = results.front();
    EXPECT_TRUE((hit.item1 == puck && hit.item2 == wall) || (hit.item1 == wall && hit.item2 == puck));
    EXPECT_GT(hit.normal_impulse, 0.0f);

    const std::size_t capacity = results.capacity();
    field.contact_listener().clear();
    EXPECT_TRUE(field.contact_listener().results().empty());
    EXPECT_EQ(field.contact_listener().results().capacity(), capacity);
}

}
}
