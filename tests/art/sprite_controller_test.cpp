#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/interpolate_controller.h"
#include "engine/art/sprite_controller.h"
#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/clone.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

// Counts what the controller base asks of a kind.
class Probe : public SpriteController
{
public:
    void apply() override { ++applies; }
    void revert() override { ++reverts; }

    int applies = 0;
    int reverts = 0;
};

}

TEST(SpriteController, MomentaryAppliesAtStartOnlyAndFleetingRevertsOnStop)
{
    const struct Case {
        bool momentary;
        bool fleeting;
        int applies;  // after the start and the updates at 0 and 10 ms
        int reverts;  // after the stop
    } cases[] = {
        {false, false, 3, 0},
        {true, false, 1, 0},
        {false, true, 3, 1},
        {true, true, 1, 1},
    };
    for (const Case& c : cases) {
        ControllerRig rig;
        Probe& probe = rig.attach(new Probe);
        probe.set_momentary(c.momentary);
        probe.set_fleeting(c.fleeting);
        rig.at(0);   // starts, then the first update
        rig.at(10);
        EXPECT_EQ(probe.applies, c.applies) << c.momentary << c.fleeting;
        probe.stop();
        probe.stop();  // a second stop finds nothing started
        EXPECT_EQ(probe.reverts, c.reverts) << c.momentary << c.fleeting;
    }
}

TEST(SpriteController, FinishesWhenTransientOrSwitchedOff)
{
    ControllerRig rig;
    Probe& probe = rig.attach(new Probe);
    auto* timer = new SpriteTimer;
    timer->set_period(100);
    probe.set_timer(timer);
    rig.at(0);
    EXPECT_FALSE(probe.is_finished()) << "its own timer is still running";
    probe.set_state_mask(1);
    probe.set_state_value(1);
    EXPECT_TRUE(probe.is_finished()) << "its state bits do not match";
    probe.set_state_mask(0);
    probe.set_state_value(0);
    probe.set_transient(true);
    EXPECT_TRUE(probe.is_finished());
    probe.set_transient(false);
    rig.at(150);
    EXPECT_TRUE(probe.is_finished()) << "the timer has run out";
}

TEST(SpriteController, BinaryFormKeepsTheFlagsAndReadsOlderVersions)
{
    SpriteController source;
    source.set_momentary(true);
    source.set_fleeting(true);
    source.set_extra(77);
    const std::string bytes = own_bytes(source);
    ASSERT_EQ(bytes.substr(0, 1), u8(2));
    ASSERT_EQ(bytes.substr(bytes.size() - 2), u8(1) + u8(1));

    SpriteController read;
    load_bytes(read, bytes);
    EXPECT_TRUE(read.is_momentary());
    EXPECT_TRUE(read.is_fleeting());
    EXPECT_EQ(read.extra(), 77u);

    // Older versions lack the trailing flags; what they lack keeps its value.
    const std::string base = bytes.substr(1, bytes.size() - 3);
    const struct Case {
        std::string bytes;
        bool momentary;
        bool fleeting;
    } cases[] = {
        {u8(0) + base, false, true},
        {u8(1) + base + u8(1), true, true},
        {u8(2) + base + u8(0) + u8(0), false, false},
    };
    for (const Case& c : cases) {
        SpriteController older;
        older.set_fleeting(true);
        load_bytes(older, c.bytes);
        EXPECT_EQ(older.is_momentary(), c.momentary) << c.bytes.size();
        EXPECT_EQ(older.is_fleeting(), c.fleeting) << c.bytes.size();
    }

    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(3) + base + u8(0) + u8(0), "unsupported version."},
        {u8(2) + base + u8(1), "unexpected end of buffer."},
        {u8(2), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        SpriteController broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }
}

TEST(SpriteController, ATreeWithControllersRoundTripsByClassName)
{
    SharedPtr<Sprite> root(new Sprite);
    auto* alpha = new AlphaController;
    alpha->set_fleeting(true);
    root->add_controller(SharedPtr<SpriteBase>(alpha));
    root->add_controller(SharedPtr<SpriteBase>(new SpriteController));

    StringBuffer buffer;
    {
        BStream out(buffer);
        out.write_shared(root);
    }
    StringBuffer input(buffer.str());
    BStream in(input);
    SharedPtr<Sprite> read;
    in.read_shared(read);
    ASSERT_EQ(read->controllers().size(), 2u);
    auto* first = dynamic_cast<AlphaController*>(read->controllers().front());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->is_fleeting());
    EXPECT_EQ(first->parent(), read.get());
    EXPECT_EQ(read->find_child<SpriteController>(), first);
}

TEST(SpriteController, SkinNodeReadsTheFlags)
{
    TestSkinEnvironment skin(R"(
        ctl_both "class kq::SpriteController" { state_mask 2 state_value 2 momentary true fleeting true }
        ctl_missing "class kq::SpriteController" { state_mask 0 state_value 0 momentary false }
        ctl_sprite "class kq::Sprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96
            fade <controller> "class kq::AlphaController" {
                state_mask 0 state_value 0 momentary false fleeting false
                start_value 0.25 end_value 0.75 variation 0
            }
        }
    )");
    SpriteController both;
    both.read_skin(SkinPath("ctl_both"));
    EXPECT_TRUE(both.is_momentary());
    EXPECT_TRUE(both.is_fleeting());
    EXPECT_EQ(both.state_mask(), 2u);

    SpriteController missing;
    EXPECT_THAT(error_of([&] { missing.read_skin(SkinPath("ctl_missing")); }), HasSubstr("node not found ["));

    Sprite sprite;
    sprite.read_skin(SkinPath("ctl_sprite"));
    auto* fade = sprite.find_child<AlphaController>();
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->start_value(), 0.25f);
    EXPECT_EQ(fade->end_value(), 0.75f);
}

}
