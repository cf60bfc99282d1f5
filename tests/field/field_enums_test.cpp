#include <gtest/gtest.h>

#include <string>

#include "engine/base/enum_desc.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_path.h"
#include "game/field/field_enums.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

template <class E>
E read_text(const std::string& text)
{
    StringStream stream(text);
    E value{};
    stream >> value;
    return value;
}

template <class E>
std::string write_text(E value)
{
    StringStream stream;
    stream << value;
    return stream.str();
}

TEST(FieldEnums, TextReadsAndWritesByName)
{
    EXPECT_EQ(read_text<Bonus>("explode"), Bonus::explode);
    EXPECT_EQ(int(read_text<Bonus>("explode")), 11);
    EXPECT_EQ(write_text(Bonus::treasure), "treasure");
    EXPECT_EQ(read_text<IdolMood>("none"), IdolMood::none);
    EXPECT_EQ(int(IdolMood::none), -1);
    EXPECT_EQ(read_text<Condition>("true"), Condition::always);
    EXPECT_EQ(int(read_text<Condition>("true")), 0);
    EXPECT_EQ(int(read_text<Condition>("false")), 1);
    EXPECT_EQ(read_text<ItemForm>("octagon"), ItemForm::octagon);
    EXPECT_EQ(write_text(TrembleType::move), "move");
    EXPECT_EQ(write_text(BonusEnd::on_turn), "on_turn");

    StringStream states("win skip");
    GameState state = GameState::running;
    read_game_state(states, state);
    EXPECT_EQ(state, GameState::win);
    EXPECT_EQ(int(state), 2);
    read_game_state(states, state);
    EXPECT_EQ(state, GameState::skip);
}

TEST(FieldEnums, UnnamedValuesAndUnknownNamesFail)
{
    EXPECT_THROW(write_text(static_cast<Bonus>(10)), rtti::RTTIException);
    EXPECT_THROW(write_text(GameState::running), rtti::RTTIException);
    try {
        read_text<GameState>("lost");
        ADD_FAILURE() << "no error";
    } catch (const rtti::RTTIException& error) {
        EXPECT_NE(error.message().find("enum string interpretation [lost] unregistered."), std::string::npos);
    }
}

TEST(FieldEnums, ConditionsAreReadFromSkinNodes)
{
    test::TestSkinEnvironment skin("tip\n{\n  condition has_not_trophy\n  wrong maybe\n}\n");
    Condition condition = Condition::always;
    read_condition(SkinPath("tip.condition"), condition);
    EXPECT_EQ(condition, Condition::has_not_trophy);

    EXPECT_THROW(read_condition(SkinPath("tip.wrong"), condition), rtti::RTTIException);
    try {
        read_condition(SkinPath("tip.missing"), condition);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_NE(error.message().find("node not found [tip.missing"), std::string::npos) << error.message();
    }
    EXPECT_EQ(condition, Condition::has_not_trophy);
}

}
}
