#include "engine/art/sprite_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "art_test_support.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

SpriteLogicPtr sample_logic()
{
    SpriteLogicPtr logic(new SpriteLogic);
    logic->state_fields().push_back({StrCache("mode"), 2, {StrCache("off"), StrCache("on")}, 3});
    logic->state_fields().push_back({StrCache("lit"), 1, {}, 0});
    logic->parameters().push_back({7, StrCache("fill"), 300});
    logic->parameters().push_back({7, StrCache("again"), 900});
    logic->set_reserved(-5);
    return logic;
}

}

TEST(SpriteLogic, FindsTheFirstEntryByIdOrName)
{
    const SpriteLogicPtr logic = sample_logic();
    EXPECT_EQ(logic->find_parameter(7), 0);
    EXPECT_EQ(logic->find_parameter(8), -1);
    EXPECT_EQ(logic->find_state_field(StrCache("lit")), 1);
    EXPECT_EQ(logic->find_state_field(StrCache("dim")), -1);
}

TEST(SpriteLogic, SetStateReachesTheOwnerAndAlwaysSignals)
{
    // owner (holds the logic) <- middle <- leaf; the field "mode" sits at bits 3-4.
    SharedPtr<LogicHolder> owner(new LogicHolder);
    owner->m_logic = sample_logic();
    SharedPtr<SpriteBase> middle(new SpriteBase);
    SharedPtr<SpriteBase> leaf(new SpriteBase);
    owner->add_controller(middle);
    middle->add_controller(leaf);
    SpriteLogic& logic = *owner->m_logic;

    std::vector<std::tuple<SpriteBase*, std::string, int>> signals;
    logic.on_set_state().connect(
        [&signals](SpriteBase* sprite, StrCache name, std::int32_t value) { signals.emplace_back(sprite, name.c_str(), value); },
        &signals);

    logic.set_state(leaf.get(), StrCache("mode"), 2);
    EXPECT_EQ(owner->state(), 2u << 3);
    EXPECT_EQ(leaf->state(), 2u << 3) << "the state word ripples down";
    logic.set_state(leaf.get(), StrCache("mode"), 7);
    EXPECT_EQ(owner->state(), 3u << 3) << "values wider than the field are cut";
    logic.set_state(leaf.get(), StrCache("absent"), 1);
    logic.set_state(nullptr, StrCache("lit"), 1);
    EXPECT_EQ(owner->state(), 3u << 3);

    ASSERT_EQ(signals.size(), 4u);
    EXPECT_EQ(signals[0], std::make_tuple(leaf.get(), std::string("mode"), 2));
    EXPECT_EQ(signals[2], std::make_tuple(leaf.get(), std::string("absent"), 1));
    EXPECT_EQ(signals[3], std::make_tuple(nullptr, std::string("lit"), 1));
    logic.on_set_state().disconnect(&signals);
}

TEST(SpriteLogic, WithoutAnOwnerTheTopmostAncestorTakesTheState)
{
    SharedPtr<SpriteBase> top(new SpriteBase);
    SharedPtr<LogicHolder> leaf(new LogicHolder);
    top->add_controller(leaf);
    const SpriteLogicPtr stranger = sample_logic();
    leaf->m_logic = stranger;
    // The leaf owns `stranger`, so it takes the field itself.
    stranger->set_state(leaf.get(), StrCache("lit"), 1);
    EXPECT_EQ(leaf->state(), 1u);
    EXPECT_EQ(top->state(), 0u);
    // A logic nobody in the chain holds: the walk ends at the top, whose nearest logic has no
    // such field, so nothing is set.
    leaf->m_logic = nullptr;
    stranger->set_state(leaf.get(), StrCache("lit"), 0);
    EXPECT_EQ(top->state(), 0u);
    EXPECT_EQ(leaf->state(), 1u);
}

TEST(SpriteLogic, BinaryFormRoundTripsAndCopiesKeepTheTables)
{
    const SpriteLogicPtr logic = sample_logic();
    SpriteLogic read;
    load_bytes(read, own_bytes(*logic));
    const SpriteLogicPtr copied(new SpriteLogic(*logic));
    EXPECT_EQ(copied->links(), 1) << "a copy counts only its own links";
    for (const SpriteLogic* copy : {&read, copied.get()}) {
        ASSERT_EQ(copy->state_fields().size(), 2u);
        const SpriteLogic::StateField& mode = copy->state_fields()[0];
        EXPECT_EQ(mode.name, StrCache("mode"));
        EXPECT_EQ(mode.width, 2);
        EXPECT_EQ(mode.shift, 3);
        EXPECT_EQ(mode.value_names, (std::vector<StrCache>{StrCache("off"), StrCache("on")}));
        ASSERT_EQ(copy->parameters().size(), 2u);
        EXPECT_EQ(copy->parameters()[1].name, StrCache("again"));
        EXPECT_EQ(copy->parameters()[1].value, 900);
        EXPECT_EQ(copy->reserved(), -5);
    }
}

TEST(SpriteLogic, VersionZeroKeepsParametersAndRecordsWithoutNamesReadEmpty)
{
    // Version 0, one field of record version 0 ("x", width 4, shift 8), no parameters block.
    const std::string bytes = u8(0) + le32(1) + u8(0) + le32(0) + u8(0) + le32(1) + "x" + le32(4) + le32(8);
    SpriteLogicPtr logic = sample_logic();
    load_bytes(*logic, bytes);
    ASSERT_EQ(logic->state_fields().size(), 1u);
    EXPECT_EQ(logic->state_fields()[0].name, StrCache("x"));
    EXPECT_TRUE(logic->state_fields()[0].value_names.empty());
    EXPECT_EQ(logic->parameters().size(), 2u);
    EXPECT_EQ(logic->reserved(), -5);
}

TEST(SpriteLogic, DamagedBinaryFormsAreStreamErrors)
{
    const std::string whole = own_bytes(*sample_logic());
    const struct Case {
        std::string bytes;
        const char* message;
    } cases[] = {
        {u8(2) + whole.substr(1), "unsupported version."},
        {u8(1) + le32(1) + u8(2) + whole.substr(6), "unsupported version."},
        {u8(1) + le32(0x10000000), "unexpected end of buffer."},
        {u8(1) + le32(0) + le32(0) + le32(0xFFFFFFF0), "unexpected end of buffer."},
        {u8(1) + le32(1) + u8(1) + le32(0) + u8(0) + le32(1) + "m" + le32(1) + le32(0) + le32(5000), "unexpected end of buffer."},
        {u8(1) + le32(0) + le32(0) + le32(1) + u8(1) + std::string(12, '\0'), "unsupported version."},
        {whole.substr(0, whole.size() - 1), "unexpected end of buffer."},
    };
    for (const Case& c : cases) {
        SpriteLogic logic;
        EXPECT_THAT(error_of([&] { load_bytes(logic, c.bytes); }), HasSubstr(c.message)) << testing::PrintToString(c.bytes);
    }
}

}
