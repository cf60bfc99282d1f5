#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_test_support.h"
#include "art_tree_support.h"
#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

std::vector<std::string> child_names(Sprite& sprite)
{
    std::vector<std::string> names;
    sprite.for_each_child([&names](Sprite* child) { names.push_back(child->name().c_str()); }, false);
    return names;
}

// Every key a sprite reads, for nodes to inherit from.
const char* const defaults =
    "defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)] rotation 0\n"
    "  scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0\n"
    "  tex_adress 0 inherit 96 }\n";

// A fresh Tile with a recognisable setting in every field the binary form holds.
SharedPtr<Tile> full_tile()
{
    SharedPtr<Tile> made(new Tile);
    made->set_name(StrCache("full"));
    made->set_position(Vector2<float>{1.5f, -2});
    made->set_pivot({3, 4});
    made->set_size(Vector2<float>{50, 60});
    made->set_rotation(0.25f);
    made->set_scale(Vector2<float>{2, 0.5f});
    made->set_depth(9);
    made->set_color({0.1f, 0.2f, 0.3f, 0.4f});
    made->set_render_state(0x105);
    made->set_inherit(~0u, IF_TRANSFORMATION | IF_DATA);
    made->set_hidden(true);
    made->set_group(7);
    made->set_clickability(Sprite::Clickability::full);
    made->set_shape(SpriteShape::ellipse);
    return made;
}

}

TEST(SpriteForms, SkinNodeDescribesATree)
{
    register_test_sprites();
    LogCapture log;
    TestSkinEnvironment skin(std::string(defaults) + R"(
        form_panel "class kq::test::Tile" : defaults {
            timer { parameter -1 period 500 cyclic loop coeff_law linear random_start false period_spread 0 }
            state_mask 3 state_value 1
            position [(10, 20)] pivot [(1, 2)] size [(100, 50)] rotation 90 scale [(0, 2)] depth 4
            color [(0.5, 0.25, 1, 0.5)] shape ellipse clickability full blend_type 9 tex_adress 3 inherit 1
            knob <child> "class kq::test::Tile" : defaults { position [(1, 2)] }
            nothing <child> ""
            spin <controller> "class kq::SpriteBase" { state_mask 0 state_value 0 }
            lamp <child> "class kq::test::Tile" : defaults { color [(0, 1, 0)] }
        }
        form_wrapless "class kq::test::Tile" : defaults { blend_type 2 tex_adress 2 }
        form_broken "class kq::test::Tile" : defaults { shape square }
    )");
    SharedPtr<Tile> panel(new Tile);
    panel->read_skin(SkinPath("form_panel"));
    EXPECT_EQ(panel->name(), StrCache("form_panel"));
    EXPECT_EQ(panel->position(), (Vector2<float>{10, 20}));
    EXPECT_EQ(panel->pivot(), (Vector2<float>{1, 2}));
    EXPECT_EQ(panel->size(), (Vector2<float>{100, 50}));
    EXPECT_FLOAT_EQ(panel->rotation(), 1.5707964f);
    EXPECT_EQ(panel->scale(), (Vector2<float>{0, 2})) << "read as written, without the floor";
    EXPECT_EQ(panel->depth(), 4.0f);
    EXPECT_EQ(panel->color(), (Color{0.5f, 0.25f, 1, 0.5f}));
    EXPECT_EQ(panel->shape(), SpriteShape::ellipse);
    EXPECT_EQ(panel->clickability(), Sprite::Clickability::full);
    EXPECT_EQ(panel->render_state(), 0x101u) << "blend 9 keeps mode 1; address 3 wraps";
    EXPECT_EQ(panel->inherit(), IF_TRANSFORMATION);
    EXPECT_EQ(panel->state_mask(), 3u);
    ASSERT_NE(panel->timer(), nullptr);
    EXPECT_EQ(panel->timer()->period(), 500);

    EXPECT_EQ(child_names(*panel), (std::vector<std::string>{"knob", "lamp"}));
    EXPECT_THAT(log.text("error"), HasSubstr("\nCan't add null sprite\n"));
    Sprite* knob = panel->find(StrCache("knob"), false);
    ASSERT_NE(dynamic_cast<Tile*>(knob), nullptr);
    EXPECT_EQ(knob->position(), (Vector2<float>{1, 2}));
    EXPECT_EQ(knob->parent(), panel.get());
    EXPECT_EQ(panel->controllers().size(), 1u);
    EXPECT_EQ(panel->controllers().front()->parent(), panel.get());

    Tile wrapless;
    wrapless.set_render_state(0xF0);
    wrapless.read_skin(SkinPath("form_wrapless"));
    EXPECT_EQ(wrapless.render_state(), 2u);

    Tile broken;
    EXPECT_THAT(error_of([&] { broken.read_skin(SkinPath("form_broken")); }),
                HasSubstr("enum string interpretation [square] unregistered."));
    EXPECT_THAT(error_of([&] { broken.read_skin(SkinPath("defaults_missing")); }), HasSubstr("node not found ["));
}

TEST(SpriteForms, BinaryTreeRoundTripsAndDrawsTheSame)
{
    register_test_sprites();
    SharedPtr<Tile> root = full_tile();
    root->set_hidden(false);
    SharedPtr<Tile> child(new Tile);
    child->set_name(StrCache("child"));
    child->set_position(Vector2<float>{5, 5});
    child->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION | inherit_parent_deformers);
    root->add_child(child);
    root->add_controller(SharedPtr<SpriteBase>(new SpriteBase));
    root->set_deformer(SharedPtr<SpriteBase>(new ShiftDeformer));
    auto* logic = new SpriteLogic;
    logic->parameters().push_back({2, StrCache("p"), 40});
    root->set_logic(logic);

    StringBuffer buffer;
    {
        BStream out(buffer);
        out.write_shared(root);
    }
    StringBuffer input(buffer.str());
    BStream in(input);
    SharedPtr<Sprite> read;
    in.read_shared(read);
    ASSERT_NE(dynamic_cast<Tile*>(read.get()), nullptr);
    EXPECT_EQ(read->name(), StrCache("full"));
    EXPECT_EQ(read->pivot(), (Vector2<float>{3, 4}));
    EXPECT_EQ(read->depth(), 9.0f);
    EXPECT_EQ(read->render_state(), 0x105u);
    EXPECT_EQ(read->group(), 7);
    EXPECT_EQ(read->clickability(), Sprite::Clickability::full);
    EXPECT_EQ(read->shape(), SpriteShape::ellipse);
    ASSERT_NE(read->own_logic(), nullptr);
    EXPECT_EQ(read->own_logic()->find_parameter(2), 0);
    ASSERT_NE(read->deformer(), nullptr);
    EXPECT_EQ(read->deformer()->parent(), read.get());
    EXPECT_EQ(read->controllers().size(), 1u);
    EXPECT_EQ(child_names(*read), (std::vector<std::string>{"child"}));
    EXPECT_EQ(read->children().front()->parent(), read.get());

    const std::vector<DeviceVertex> expected = render_frame(*root);
    const std::vector<DeviceVertex> drawn = render_frame(*read);
    ASSERT_EQ(drawn.size(), expected.size());
    ASSERT_EQ(drawn.size(), 8u);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_FLOAT_EQ(drawn[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(drawn[i].y, expected[i].y) << i;
        EXPECT_EQ(drawn[i].color, expected[i].color) << i;
    }
}

TEST(SpriteForms, OlderVersionsReadTheirFieldsOnly)
{
    // A sprite without logic, children or deformer ends, after its inherit word, in: logic
    // reference, [old controller count], child count, hidden, group, [clickability],
    // [deformer], [shape].
    const std::string v4 = own_bytes(*full_tile());
    const std::string head = v4.substr(1, v4.size() - 1 - 24);
    const std::string none = le32(0xFFFFFFFF);
    const std::string hidden_group = le32(1) + le32(7);
    const struct Case {
        std::uint8_t version;
        std::string tail;
        Sprite::Clickability clickability;
        SpriteShape shape;
    } cases[] = {
        {0, le32(0) + le32(0) + hidden_group, Sprite::Clickability::childs, SpriteShape::rectangle},
        {1, le32(0) + le32(0) + hidden_group + le32(2), Sprite::Clickability::full, SpriteShape::rectangle},
        {2, le32(0) + le32(0) + hidden_group + le32(2) + none, Sprite::Clickability::full, SpriteShape::rectangle},
        {3, le32(0) + le32(0) + hidden_group + le32(2) + none + le32(1), Sprite::Clickability::full, SpriteShape::ellipse},
        {4, le32(0) + hidden_group + le32(2) + none + le32(1), Sprite::Clickability::full, SpriteShape::ellipse},
    };
    for (const Case& c : cases) {
        Tile read;
        load_bytes(read, u8(c.version) + head + c.tail);
        EXPECT_EQ(read.clickability(), c.clickability) << int(c.version);
        EXPECT_EQ(read.shape(), c.shape) << int(c.version);
        EXPECT_EQ(read.group(), 7) << int(c.version);
        EXPECT_EQ(read.hidden(), 1) << int(c.version);
        EXPECT_EQ(read.size(), (Vector2<float>{50, 60})) << int(c.version);
        EXPECT_EQ(read.deformer(), nullptr);
    }

    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(5) + head + cases[4].tail, "unsupported version."},
        {u8(4) + head + le32(50000), "unexpected end of buffer."},
        {u8(3) + head + le32(50000), "unexpected end of buffer."},
        {u8(4) + head + le32(0) + hidden_group, "unexpected end of buffer."},
        {v4.substr(0, 40), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        Tile read;
        EXPECT_THAT(error_of([&] { load_bytes(read, d.bytes); }), HasSubstr(d.message));
    }
}

TEST(SpriteForms, DamagedFilesFailCleanly)
{
    register_test_sprites();
    // A small tree using every kind of reference the form holds.
    SharedPtr<Tile> root = full_tile();
    SharedPtr<Tile> child(new Tile);
    child->set_timer(new SpriteTimer);
    root->add_child(child);
    SharedPtr<SpriteBase> controller(new SpriteBase);
    controller->add_controller(SharedPtr<SpriteBase>(new SpriteBase));
    root->add_controller(controller);
    root->set_deformer(SharedPtr<SpriteBase>(new ShiftDeformer));
    auto* logic = new SpriteLogic;
    logic->state_fields().push_back({StrCache("f"), 2, {StrCache("a")}, 1});
    root->set_logic(logic);
    StringBuffer buffer;
    {
        BStream out(buffer);
        out.write_shared(SharedPtr<Sprite>(root));
    }
    const std::string file = buffer.str();

    // Whether the bytes read as a tree. A damaged copy either reads as some tree or fails
    // with a stream or reflection error naming what went wrong; anything else escapes and
    // fails the test (the sanitizers watch for worse).
    const auto reads = [](const std::string& bytes) {
        try {
            StringBuffer input(bytes);
            BStream in(input);
            SharedPtr<Sprite> read;
            in.read_shared(read);
            return read.get() != nullptr;
        } catch (const Exception& error) {
            EXPECT_FALSE(error.message().empty());
            return false;
        }
    };
    ASSERT_TRUE(reads(file));
    // Every byte of the form is needed: no shortened copy reads.
    for (std::size_t length = 0; length < file.size(); ++length)
        EXPECT_FALSE(reads(file.substr(0, length))) << "cut at " << length;
    std::size_t refused = 0;
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (std::uint8_t change : {0x01, 0x80, 0xFF}) {
            std::string damaged = file;
            damaged[at] = static_cast<char>(damaged[at] ^ change);
            refused += reads(damaged) ? 0 : 1;
        }
    }
    // Counts, versions and type names are checked: many damaged copies are refused, and values
    // that are only numbers still read.
    EXPECT_GT(refused, 0u);
    EXPECT_LT(refused, 3 * file.size());
}

}
