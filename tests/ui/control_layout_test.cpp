#include "engine/ui/control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/base/exception.h"
#include "engine/ui/control_initer.h"
#include "fake_host.h"
#include "tests/art/art_tree_support.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

/// The game's own control defaults followed by the test's nodes, with the UI's constants.
class ControlSkin : public TestSkinEnvironment
{
public:
    explicit ControlSkin(const std::string& nodes) : TestSkinEnvironment(defaults() + nodes)
    {
        define(StrCache("IF_CONTROL"), "104");
        define(StrCache("VF_POINTED"), "2");
    }

private:
    static std::string defaults()
    {
        std::ifstream file(std::string(KQ_SOURCE_DIR) + "/data/skin/ui/controls.sdt");
        std::ostringstream text;
        text << file.rdbuf();
        return text.str() + "\n";
    }
};

std::string error_of(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.message();
    }
    return "";
}

/// A control of an absolute size placed by its snap rules.
struct Layout
{
    XSnap x_snap;
    YSnap y_snap;
    Vector2<int> offset;
    Vector2<int> size;
};

void lay_out(Control& control, const Layout& layout)
{
    control.set_snaps(layout.x_snap, layout.y_snap);
    control.set_size(layout.size);
    control.set_position(layout.offset);
}

std::vector<Control*> listed(const Control& parent)
{
    return {parent.children().begin(), parent.children().end()};
}

}

TEST(ControlLayout, SnapRulesPlaceAChildInItsParent)
{
    struct Case
    {
        const char* name;
        Vector2<int> parent;
        bool with_brother;
        Layout brother;
        Layout child;
        Vector2<int> expected;
    };
    const Layout none{};
    const Case cases[] = {
        {"left top", {200, 100}, false, none, {XSnap::left, YSnap::top, {7, 9}, {10, 10}}, {7, 9}},
        {"center odd truncates", {101, 101}, false, none, {XSnap::center, YSnap::center, {0, 3}, {50, 50}}, {25, 28}},
        {"center larger than parent", {50, 50}, false, none, {XSnap::center, YSnap::center, {0, 0}, {101, 101}},
         {-25, -25}},
        {"right bottom", {200, 100}, false, none, {XSnap::right, YSnap::bottom, {5, 6}, {20, 30}}, {175, 64}},
        {"prev_brother touching", {200, 100}, true, {XSnap::left, YSnap::top, {10, 20}, {30, 40}},
         {XSnap::prev_brother, YSnap::prev_brother, {1, 1}, {5, 5}}, {40, 60}},
        {"prev_brother before", {200, 100}, true, {XSnap::left, YSnap::top, {50, 60}, {30, 40}},
         {XSnap::prev_brother, YSnap::prev_brother, {-1, -2}, {10, 10}}, {39, 48}},
        {"prev_brother centred", {200, 100}, true, {XSnap::left, YSnap::top, {10, 10}, {20, 20}},
         {XSnap::prev_brother, YSnap::prev_brother, {0, 0}, {10, 10}}, {15, 15}},
        {"prev_brother first, after", {200, 100}, false, none,
         {XSnap::prev_brother, YSnap::prev_brother, {1, 1}, {10, 10}}, {1, 1}},
        {"prev_brother first, before", {200, 100}, false, none,
         {XSnap::prev_brother, YSnap::prev_brother, {-1, -1}, {10, 10}}, {189, 89}},
        {"prev_brother first, centred", {201, 100}, false, none,
         {XSnap::prev_brother, YSnap::prev_brother, {0, 0}, {10, 10}}, {95, 45}},
    };
    for (const Case& c : cases) {
        HostedRoot ui;
        Control parent;
        Control brother;
        Control child;
        parent.set_size(c.parent);
        Control::attach_to_parent(&parent, &ui.root);
        if (c.with_brother) {
            lay_out(brother, c.brother);
            Control::attach_to_parent(&brother, &parent);
        }
        lay_out(child, c.child);
        Control::attach_to_parent(&child, &parent);
        EXPECT_EQ(child.position(), c.expected) << c.name;
        child.detach();
        brother.detach();
        parent.detach();
    }
}

TEST(ControlLayout, RelativeSizesAndEdgeSnapsFollowTheParent)
{
    HostedRoot ui;
    Control parent;
    Control skin_child;
    ControlSkin skin(R"(
        panel : control_defaults { sx 0 sy -10 sx_snap relative sy_snap relative }
        corner : control_defaults { x 4 y 4 sx 10 sy 10 x_snap right y_snap bottom }
    )");
    Control fill;
    Control corner;
    fill.set_up(CIIndependent(SkinPath("panel")));
    corner.set_up(CIIndependent(SkinPath("corner")));
    parent.set_size({300, 200});
    Control::attach_to_parent(&parent, &ui.root);
    Control::attach_to_parent(&fill, &parent);
    Control::attach_to_parent(&corner, &parent);
    EXPECT_EQ(fill.size(), (Vector2<int>{300, 190}));
    EXPECT_EQ(corner.position(), (Vector2<int>{286, 186}));

    parent.set_size({100, 50});
    EXPECT_EQ(fill.size(), (Vector2<int>{100, 40}));
    EXPECT_EQ(corner.position(), (Vector2<int>{86, 36}));
    corner.detach();
    fill.detach();
    parent.detach();
}

TEST(ControlLayout, WithoutAParentSnapsAreIgnored)
{
    ControlSkin skin("top : control_defaults { x 5 y 6 sx -3 sy 40 x_snap center y_snap bottom sx_snap relative }");
    HostedRoot ui({640, 480});
    ui.root.set_up(CIIndependent(SkinPath("top")));
    ui.root.update_layout(true);
    EXPECT_EQ(ui.root.position(), (Vector2<int>{5, 6}));
    EXPECT_EQ(ui.root.size(), (Vector2<int>{-3, 40}));
}

TEST(ControlLayout, ChangesMoveTheNextBrotherChainOnly)
{
    HostedRoot ui;
    Control parent;
    Control before;
    Control first;
    Control second;
    Control third;
    parent.set_size({500, 100});
    Control::attach_to_parent(&parent, &ui.root);
    lay_out(before, {XSnap::left, YSnap::top, {0, 0}, {5, 5}});
    lay_out(first, {XSnap::left, YSnap::top, {10, 0}, {20, 10}});
    lay_out(second, {XSnap::prev_brother, YSnap::top, {1, 0}, {30, 10}});
    lay_out(third, {XSnap::prev_brother, YSnap::top, {1, 0}, {40, 10}});
    for (Control* child : {&before, &first, &second, &third})
        Control::attach_to_parent(child, &parent);
    EXPECT_EQ(second.position().x, 30);
    EXPECT_EQ(third.position().x, 60);

    first.set_size({50, 10});
    EXPECT_EQ(second.position().x, 60);
    EXPECT_EQ(third.position().x, 90);
    EXPECT_EQ(before.position().x, 0);

    Control::detach_child(&parent, &second);
    EXPECT_EQ(third.position().x, 60) << "the follower of a detached child takes its place";
    for (Control* child : {&before, &first, &third, &parent})
        child->detach();
}

TEST(ControlLayout, SkinKeysSetTheFieldsAndBits)
{
    ControlSkin skin(R"(
        dialog : control_defaults {
            x 3 y 4 z 2 sx 300 sy 200 x_snap center y_snap bottom sx_snap relative sy_snap absolute
            z_snap topmost hidden true disabled true transparency childs dblclicks true
            hw_cursor "Data/Cursors/Hand.cur"
        }
    )");
    class Counting : public Control
    {
    public:
        void on_state_changed(std::uint32_t a, std::uint32_t b) override
        {
            ++changes;
            Control::on_state_changed(a, b);
        }
        int changes = 0;
    };
    Counting control;
    control.set_up(CIIndependent(SkinPath("dialog")));
    EXPECT_EQ(control.offset(), (Vector2<int>{3, 4}));
    EXPECT_EQ(control.z(), 2);
    EXPECT_EQ(control.position(), (Vector2<int>{3, 4})) << "raw until laid out";
    EXPECT_EQ(control.size(), (Vector2<int>{300, 200}));
    EXPECT_EQ(control.x_snap(), XSnap::center);
    EXPECT_EQ(control.y_snap(), YSnap::bottom);
    EXPECT_EQ(control.sx_snap(), SSnap::relative);
    EXPECT_EQ(control.sy_snap(), SSnap::absolute);
    EXPECT_EQ(control.z_snap(), ZSnap::topmost);
    EXPECT_EQ(control.state(), 0x001u | 0x004u | 0x020u | 0x100u);
    EXPECT_EQ(control.changes, 0) << "reading the skin announces no state change";
    EXPECT_EQ(control.cursor().path(), "data/cursors/hand.cur");
    EXPECT_EQ(control.sprite(), nullptr);
    EXPECT_EQ(control.path(), SkinPath("dialog"));
}

TEST(ControlLayout, SkinSpriteResolvesVariablesThroughTheControl)
{
    register_test_sprites();
    ControlSkin skin(R"(
        look_defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit #IF_CONTROL }
        badge : control_defaults { sx 40 sy 20 sprite "class kq::test::Tile" : look_defaults {} }
    )");
    HostedRoot ui;
    Control badge;
    badge.set_variable("name", "ann");
    badge.set_up(CIIndependent(SkinPath("badge")));
    ASSERT_NE(badge.sprite(), nullptr);
    EXPECT_EQ(badge.sprite()->inherit(), 104u);
    std::string value;
    EXPECT_TRUE(badge.sprite()->query_data("name", value));
    EXPECT_EQ(value, "ann");
    Control::attach_to_parent(&badge, &ui.root);
    EXPECT_EQ(badge.sprite()->size(), (Vector2<float>{40, 20})) << "the look takes the control's size";
    badge.detach();
}

TEST(ControlLayout, SiblingsOrderByLayerThenZThenAttachOrder)
{
    ControlSkin skin(R"(
        box : control_defaults { sx 100 sy 100 }
        over : box { z_snap top }
        under : box { z_snap bottom z 5 }
        raised : box { z 1 }
    )");
    HostedRoot ui;
    Control over;
    Control first;
    Control raised;
    Control second;
    Control under;
    over.set_up(CIIndependent(SkinPath("over")));
    first.set_up(CIIndependent(SkinPath("box")));
    raised.set_up(CIIndependent(SkinPath("raised")));
    second.set_up(CIIndependent(SkinPath("box")));
    under.set_up(CIIndependent(SkinPath("under")));
    for (Control* child : {&over, &first, &raised, &second, &under})
        Control::attach_to_parent(child, &ui.root);
    EXPECT_THAT(listed(ui.root), ElementsAre(&under, &first, &second, &raised, &over));
    EXPECT_EQ(ui.root.hit_test({50, 50}), &over);
    over.detach();
    EXPECT_EQ(ui.root.hit_test({50, 50}), &raised);
    for (Control* child : {&first, &raised, &second, &under})
        child->detach();
}

TEST(ControlLayout, InitersResolveChildPathsAndAttach)
{
    ControlSkin skin(R"(
        dialog : control_defaults { sx 300 sy 200
            legend : control_defaults { x 10 y 12 sx 50 sy 20 }
            ok : control_defaults { x 5 y 5 sx 40 sy 20 x_snap right y_snap bottom }
        }
    )");
    HostedRoot ui;
    Control dialog;
    Control legend;
    Control ok;
    Control helper;
    Control plain;
    // The children are set up before their parent's path is known: they wait for it.
    legend.set_up(CIChild(&dialog, "legend"));
    helper.set_up(CIDependent(&dialog, "ok"));
    EXPECT_TRUE(legend.path().empty());
    dialog.set_up(CIIndependent(SkinPath("dialog")));
    EXPECT_EQ(legend.path(), SkinPath("dialog.legend"));
    EXPECT_EQ(legend.offset(), (Vector2<int>{10, 12}));
    EXPECT_TRUE(helper.path().empty()) << "a dependent control is not listed, so it is not reached";

    ok.set_up(CIChild(&dialog, "ok"));
    EXPECT_EQ(ok.path(), SkinPath("dialog.ok"));
    plain.set_up(CIChild(&dialog, StrCache()));
    EXPECT_TRUE(plain.path().empty()) << "the empty name only attaches";
    EXPECT_THAT(listed(dialog), ElementsAre(&legend, &ok, &plain));

    Control::attach_to_parent(&dialog, &ui.root);
    EXPECT_EQ(ok.position(), (Vector2<int>{255, 175}));
    EXPECT_EQ(legend.parent(), &dialog);

    Control dependent;
    dependent.set_up(CIDependent(&dialog, "legend"));
    EXPECT_EQ(dependent.path(), SkinPath("dialog.legend"));
    EXPECT_EQ(dependent.parent(), nullptr);
    for (Control* child : {&legend, &ok, &plain, &dialog})
        child->detach();
}

TEST(ControlLayout, BadSkinFailsTheSetUpWithTheReadersError)
{
    struct Case
    {
        const char* node;
        const char* message;
    };
    const Case cases[] = {
        {"no_sy", "node not found [no_sy.sy]"},
        {"bad_snap", "enum string interpretation [middle] unregistered."},
        {"half_cursor", "node not found [half_cursor.cursor.software]"},
    };
    ControlSkin skin(R"(
        no_sy { x 0 y 0 z 0 sx 3 }
        bad_snap : control_defaults { x_snap middle }
        half_cursor : control_defaults { cursor { hardware "" } }
        frame : control_defaults {}
    )");
    for (const Case& c : cases) {
        Control control;
        EXPECT_THAT(error_of([&] { control.set_up(CIIndependent(SkinPath(c.node))); }), HasSubstr(c.message))
            << c.node;
    }
    // Through a child initer the same error reaches the code building the child.
    Control parent;
    parent.set_up(CIIndependent(SkinPath("frame")));
    Control child;
    EXPECT_THAT(error_of([&] { child.set_up(CIChild(&parent, "missing")); }), HasSubstr("node not found ["));
}

TEST(ControlLayout, CursorNodeSetsBothCursors)
{
    register_test_sprites();
    ControlSkin skin(R"(
        look_defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 0 }
        pointer : control_defaults { cursor { hardware "" software "class kq::test::Tile" : look_defaults {} } }
    )");
    HostedRoot ui;
    Control parent;
    Control child;
    parent.set_up(CIIndependent(SkinPath("pointer")));
    ASSERT_TRUE(parent.sw_cursor());
    Control::attach_to_parent(&parent, &ui.root);
    Control::attach_to_parent(&child, &parent);
    EXPECT_EQ(child.find_sw_cursor().get(), parent.sw_cursor().get()) << "found up the chain";
    SharedPtr<Sprite> own(new Tile);
    child.set_sw_cursor(own);
    EXPECT_EQ(ui.host.cursor_updates, 1);
    EXPECT_EQ(child.find_sw_cursor().get(), own.get());
    child.detach();
    parent.detach();
}

TEST(ControlLayout, ACursorNodeWithoutHardwareIsAScreensOwnTableNotTheControlsCursor)
{
    ControlSkin skin(R"(
        table : control_defaults {
            hw_cursor "cursors/default.cur"
            cursor { default { hardware "cursors/a.cur" software "" } bolt { hardware "cursors/b.cur" software "" } }
        }
    )");
    Control control;
    EXPECT_EQ(error_of([&] { control.set_up(CIIndependent(SkinPath("table"))); }), "");
    EXPECT_EQ(control.cursor().path(), "cursors/default.cur") << "the table leaves the control's own cursor";
    EXPECT_FALSE(control.sw_cursor());
}

}
