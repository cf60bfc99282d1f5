#include "engine/ui/control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/log_capture.h"
#include "tests/platform/recording_artist.h"

namespace kq::test {

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

/// A control that writes its hooks to a shared journal under its name.
class Journaled : public Control
{
public:
    Journaled(std::vector<std::string>& journal, std::string name) : m_journal(journal), m_name(std::move(name)) {}
    ~Journaled() override { detach(); }

    void on_attach() override
    {
        m_journal.push_back("attach " + m_name);
        Control::on_attach();
    }
    void on_attached() override { m_journal.push_back("attached " + m_name); }
    void on_detach() override
    {
        m_journal.push_back("detach " + m_name);
        Control::on_detach();
    }
    void on_visible_changed(bool visible) override
    {
        m_journal.push_back(m_name + (visible ? " shown" : " hidden"));
        Control::on_visible_changed(visible);
    }
    void refresh() override { m_journal.push_back("refresh " + m_name); }

    std::vector<std::string>& m_journal;
    std::string m_name;
};

/// A control placed by hand: offsets and size, left/top snaps.
void place(Control& control, Vector2<int> position, Vector2<int> size)
{
    control.set_position(position);
    control.set_size(size);
}

std::vector<Control*> listed(const Control& parent)
{
    return {parent.children().begin(), parent.children().end()};
}

}

TEST(Control, AttachingAnUnattachedSubtreeRunsHooksParentFirstAndAttachedChildrenFirst)
{
    std::vector<std::string> journal;
    HostedRoot ui;
    Journaled panel(journal, "panel");
    Journaled first(journal, "first");
    Journaled second(journal, "second");
    Journaled leaf(journal, "leaf");
    Control::attach_to_parent(&first, &panel);
    Control::attach_to_parent(&leaf, &first);
    Control::attach_to_parent(&second, &panel);
    EXPECT_TRUE(journal.empty()) << "an unattached parent only lists its children";
    EXPECT_EQ(first.parent(), nullptr);
    EXPECT_THAT(listed(panel), ElementsAre(&first, &second));

    Control::attach_to_parent(&panel, &ui.root);
    EXPECT_THAT(journal, ElementsAre("attach panel", "attach first", "attach leaf", "attached leaf",
                                     "attached first", "attach second", "attached second", "attached panel"));
    EXPECT_THAT(ui.host.attached, ElementsAre(&panel, &first, &leaf, &second));
    EXPECT_EQ(leaf.host(), &ui.host);
    EXPECT_EQ(leaf.parent(), &first);

    journal.clear();
    Control::detach_child(&ui.root, &panel);
    EXPECT_THAT(journal, ElementsAre("detach leaf", "detach first", "detach second", "detach panel"));
    EXPECT_THAT(ui.host.detached, ElementsAre(&leaf, &first, &second, &panel));
    EXPECT_EQ(leaf.parent(), nullptr);
    EXPECT_EQ(leaf.host(), nullptr);
    EXPECT_THAT(listed(panel), ElementsAre(&first, &second)) << "children stay listed";
    EXPECT_TRUE(ui.root.children().empty());
}

TEST(Control, AttachingTwiceIsLoggedAndAttachingElsewhereMoves)
{
    LogCapture log;
    HostedRoot ui;
    Control a;
    Control b;
    Control child;
    Control::attach_to_parent(&a, &ui.root);
    Control::attach_to_parent(&b, &ui.root);
    Control::attach_to_parent(&child, &a);
    Control::attach_to_parent(&child, &a);
    EXPECT_THAT(log.text("error"), HasSubstr("Control already attached to this parent."));
    EXPECT_THAT(listed(a), ElementsAre(&child));

    Control::attach_to_parent(&child, &b);
    EXPECT_TRUE(a.children().empty());
    EXPECT_THAT(listed(b), ElementsAre(&child));
    EXPECT_EQ(child.parent(), &b);

    Control stranger;
    Control::detach_child(&a, &stranger);
    EXPECT_THAT(log.text("error"), HasSubstr("Control not attached to this parent."));
    child.detach();
    a.detach();
    b.detach();
}

TEST(Control, DetachingDuringAWalkKeepsTheWalkAndSettlesAfterIt)
{
    HostedRoot ui;
    Control a;
    Control b;
    Control c;
    Control d;
    for (Control* child : {&a, &b, &c, &d})
        Control::attach_to_parent(child, &ui.root);
    std::vector<Control*> visited;
    ui.root.for_each_child([&](Control* child) {
        visited.push_back(child);
        if (child == &a) {
            Control::detach_child(&ui.root, &b);  // not yet visited: skipped
            Control::detach_child(&ui.root, &a);  // the one being visited
            ui.root.for_each_child([](Control*) {});
        }
    });
    EXPECT_THAT(visited, ElementsAre(&a, &c, &d));
    EXPECT_THAT(listed(ui.root), ElementsAre(&c, &d)) << "no empty entry left";
    EXPECT_EQ(a.parent(), nullptr);
    c.detach();
    d.detach();
}

TEST(Control, HitTestHonoursTransparency)
{
    struct Case
    {
        Control::Transparency transparency;
        Control* (*expect_on_child)(Control& panel, Control& child);
        Control* (*expect_on_empty_spot)(Control& panel, Control& child);
    };
    const auto panel = [](Control& p, Control&) { return &p; };
    const auto child = [](Control&, Control& c) { return &c; };
    const auto nothing = [](Control&, Control&) -> Control* { return nullptr; };
    const Case cases[] = {
        {Control::Transparency::none, child, panel},
        {Control::Transparency::self, child, nothing},
        {Control::Transparency::childs, panel, panel},
        {Control::Transparency::full, nothing, nothing},
    };
    for (const Case& c : cases) {
        HostedRoot ui;
        Control p;
        Control kid;
        Control grandchild;
        place(p, {100, 100}, {200, 100});
        place(kid, {10, 10}, {50, 50});
        place(grandchild, {0, 0}, {5, 5});
        p.set_state(static_cast<std::uint32_t>(c.transparency), 0x30);
        Control::attach_to_parent(&p, &ui.root);
        Control::attach_to_parent(&kid, &p);
        Control::attach_to_parent(&grandchild, &kid);
        const int value = static_cast<int>(c.transparency);
        EXPECT_EQ(p.hit_test({120, 120}), c.expect_on_child(p, kid)) << value;
        EXPECT_EQ(p.hit_test({250, 150}), c.expect_on_empty_spot(p, kid)) << value;
        EXPECT_EQ(ui.root.hit_test({250, 150}), c.expect_on_empty_spot(p, kid) ? &p : &ui.root) << value;
        // Children of a control with transparent children carry the inherited bit down.
        const bool inherited = (value & 0x20) != 0;
        EXPECT_EQ((grandchild.state() & 0x40) != 0, inherited) << value;
        grandchild.detach();
        kid.detach();
        p.detach();
    }
}

TEST(Control, HitTestEdgesAreHalfOpenAndHiddenOrUnattachedMiss)
{
    HostedRoot ui;
    Control c;
    place(c, {10, 20}, {30, 40});
    EXPECT_EQ(c.hit_test({10, 20}), nullptr) << "unattached";
    Control::attach_to_parent(&c, &ui.root);
    EXPECT_EQ(c.hit_test({10, 20}), &c);
    EXPECT_EQ(c.hit_test({39, 59}), &c);
    EXPECT_EQ(c.hit_test({40, 30}), nullptr);
    EXPECT_EQ(c.hit_test({20, 60}), nullptr);
    EXPECT_EQ(c.hit_test({9, 30}), nullptr);
    c.set_hidden(true);
    EXPECT_EQ(c.hit_test({20, 30}), nullptr);
    c.detach();
}

TEST(Control, ClickNeedsPressAndReleaseOnTheControl)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<Key, KeyState>> events;
        bool leave_between;
        bool disabled;
        int clicks;
    };
    const Case cases[] = {
        {"press and release", {{key_mouse_left, state_down}, {key_mouse_left, state_up}}, false, false, 1},
        {"released elsewhere", {{key_mouse_left, state_down}, {key_mouse_left, state_up}}, true, false, 0},
        {"double click alone", {{key_mouse_left, state_double_click}, {key_mouse_left, state_up}}, false, false, 0},
        {"release alone", {{key_mouse_left, state_up}}, false, false, 0},
        {"disabled", {{key_mouse_left, state_down}, {key_mouse_left, state_up}}, false, true, 0},
        {"right button", {{key_mouse_right, state_down}, {key_mouse_right, state_up}}, false, false, 0},
    };
    for (const Case& c : cases) {
        HostedRoot ui;
        Control button;
        Control::attach_to_parent(&button, &ui.root);
        button.set_disabled(c.disabled);
        int clicks = 0;
        button.on_click().connect([&clicks] { ++clicks; }, &clicks);
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            if (i == 1 && c.leave_between)
                button.on_mouse_leave();
            EXPECT_FALSE(button.on_key(c.events[i].first, c.events[i].second)) << c.name;
        }
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_FALSE(button.is_pressed()) << c.name;
        button.detach();
    }
}

TEST(Control, PressTakesFocusAndRightPressCallsItsCallable)
{
    HostedRoot ui;
    Control button;
    Control::attach_to_parent(&button, &ui.root);
    int right = 0;
    button.on_right_click() = [&right] { ++right; };
    button.on_key(key_mouse_left, state_down);
    EXPECT_TRUE(button.is_focused());
    EXPECT_TRUE(button.is_pressed());
    button.on_key(key_mouse_right, state_down);
    EXPECT_EQ(right, 1);
    button.set_disabled(true);
    EXPECT_FALSE(button.is_focused()) << "disabling drops the focus";
    button.detach();
}

TEST(Control, HidingAParentHidesEveryDescendantByInheritance)
{
    std::vector<std::string> journal;
    HostedRoot ui;
    Journaled parent(journal, "parent");
    Journaled child(journal, "child");
    Journaled grandchild(journal, "grandchild");
    Control::attach_to_parent(&parent, &ui.root);
    Control::attach_to_parent(&child, &parent);
    Control::attach_to_parent(&grandchild, &child);
    journal.clear();

    parent.set_hidden(true);
    EXPECT_THAT(journal, ElementsAre("parent hidden", "child hidden", "grandchild hidden"));
    EXPECT_EQ(child.state() & 0x3, 0x2u);
    EXPECT_EQ(grandchild.state() & 0x3, 0x2u);
    journal.clear();
    parent.set_hidden(false);
    EXPECT_THAT(journal, ElementsAre("parent shown", "child shown", "grandchild shown"));
    EXPECT_EQ(grandchild.state() & 0x4A, 0u);

    // A child attached under a disabled parent starts disabled by inheritance.
    parent.set_disabled(true);
    Control late;
    Control::attach_to_parent(&late, &parent);
    EXPECT_EQ(late.state() & 0x8, 0x8u);
    EXPECT_FALSE(late.is_enabled(late.state()));
    late.detach();
    EXPECT_EQ(late.state(), 0u) << "detaching drops the inherited bits";
}

TEST(Control, DestroyingAnAttachedControlIsLoggedAndUnlisted)
{
    LogCapture log;
    HostedRoot ui;
    Control keep;
    Control::attach_to_parent(&keep, &ui.root);
    {
        Control doomed;
        Control::attach_to_parent(&doomed, &ui.root);
    }
    EXPECT_THAT(log.text("error"),
                HasSubstr("Control destroyed before detach. On_detach will not called correctly."));
    EXPECT_THAT(listed(ui.root), ElementsAre(&keep));
    keep.detach();
}

TEST(Control, DetachedDuringItsOwnAttachIsReported)
{
    class Fickle : public Control
    {
    public:
        void on_attach() override
        {
            Control::on_attach();
            detach();
        }
        void on_attached() override { ++attached; }
        int attached = 0;
    };
    LogCapture log;
    HostedRoot ui;
    Fickle fickle;
    Control child;
    Control::attach_to_parent(&child, &fickle);
    Control::attach_to_parent(&fickle, &ui.root);
    EXPECT_THAT(log.text("error"), HasSubstr("Control detached during attach. Bad idea."));
    EXPECT_EQ(fickle.attached, 0);
    EXPECT_EQ(child.parent(), nullptr);
    EXPECT_TRUE(ui.root.children().empty());
}

TEST(Control, DrawTreeTranslatesTintsAndDrawsBackToFront)
{
    // Each control fills its client rectangle in white: what reaches the device is the global
    // colour, that is the product of the colours down the chain.
    class Filled : public Control
    {
    public:
        void draw(Artist& artist) override
        {
            artist.fill_rect(Rect{0, 0, float(size().x), float(size().y)}, Color{1, 1, 1, 1});
        }
        void draw_over(Artist& artist) override { artist.fill_rect(Rect{0, 0, 1, 1}, Color{1, 1, 1, 1}); }
    };
    HostedRoot ui;
    Filled panel;
    Filled under;
    Filled over;
    Filled hidden;
    place(panel, {100, 50}, {200, 100});
    place(under, {10, 20}, {30, 40});
    place(over, {5, 5}, {10, 10});
    panel.set_color({0.5f, 1, 1, 1});
    under.set_color({1, 0.5f, 1, 0.5f});
    hidden.set_hidden(true);
    Control::attach_to_parent(&panel, &ui.root);
    Control::attach_to_parent(&under, &panel);
    Control::attach_to_parent(&hidden, &panel);
    Control::attach_to_parent(&over, &panel);

    RecordingArtist artist;
    artist.begin_scene();
    ui.root.draw_tree(artist);
    artist.end_scene();
    std::vector<DeviceVertex> vertices;
    for (const RecordedBatch& batch : artist.batches)
        vertices.insert(vertices.end(), batch.vertices.begin(), batch.vertices.end());
    // panel, under, under's mark, over, over's mark, panel's mark: six quads.
    ASSERT_EQ(vertices.size(), 6u * 4u);
    struct Expected
    {
        float x, y;
        std::uint32_t color;
    };
    const Expected expected[] = {
        {100, 50, packed(0.5f, 1, 1, 1)},      // panel
        {110, 70, packed(0.5f, 0.5f, 1, 0.5f)},  // under, tinted by panel and itself
        {110, 70, packed(0.5f, 0.5f, 1, 0.5f)},  // under's draw_over
        {105, 55, packed(0.5f, 1, 1, 1)},      // over
        {105, 55, packed(0.5f, 1, 1, 1)},      // over's draw_over
        {100, 50, packed(0.5f, 1, 1, 1)},      // panel's draw_over, after its children
    };
    for (std::size_t i = 0; i < 6; ++i) {
        const DeviceVertex& corner = vertices[i * 4];
        EXPECT_FLOAT_EQ(corner.x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(corner.y, expected[i].y) << i;
        EXPECT_EQ(corner.color, expected[i].color) << i;
    }
    EXPECT_FLOAT_EQ(vertices[1 * 4 + 2].x, 140);
    EXPECT_FLOAT_EQ(vertices[1 * 4 + 2].y, 110);
    for (Filled* child : {&under, &hidden, &over, &panel})
        child->detach();
}

TEST(Control, SpriteTakesSizeAndViewFlags)
{
    HostedRoot ui;
    Control control;
    SharedPtr<Tile> look(new Tile);
    look->set_inherit(~0u, IF_CONTROL);
    look->set_color({0, 1, 0, 1});
    control.set_sprite(look);
    place(control, {20, 30}, {40, 50});
    Control::attach_to_parent(&control, &ui.root);
    EXPECT_EQ(look->size(), (Vector2<float>{40, 50}));

    ui.host.m_hovered = &control;
    control.on_key(key_mouse_left, state_down);
    control.set_disabled(true);
    const std::vector<DeviceVertex> vertices = [&] {
        RecordingArtist artist;
        artist.begin_scene();
        ui.root.draw_tree(artist);
        artist.end_scene();
        return artist.batches.at(0).vertices;
    }();
    EXPECT_EQ(look->state() & 15u, VF_DISABLED | VF_POINTED | VF_PRESSED);
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_FLOAT_EQ(vertices[0].x, 20);
    EXPECT_FLOAT_EQ(vertices[0].y, 30);
    EXPECT_FLOAT_EQ(vertices[2].x, 60);
    EXPECT_FLOAT_EQ(vertices[2].y, 80);
    EXPECT_EQ(vertices[0].color, packed(0, 1, 0, 1));
    control.detach();
}

TEST(Control, VariablesAnswerUpTheChainAndChangesRefreshTheSubtree)
{
    std::vector<std::string> journal;
    HostedRoot ui;
    Journaled parent(journal, "parent");
    Journaled child(journal, "child");
    Control::attach_to_parent(&parent, &ui.root);
    Control::attach_to_parent(&child, &parent);
    journal.clear();
    parent.set_variable("score", "10");
    EXPECT_THAT(journal, ElementsAre("refresh parent", "refresh child"));
    journal.clear();
    parent.set_variable("score", "10");
    EXPECT_TRUE(journal.empty()) << "an equal value refreshes nothing";
    child.set_variable("name", "ann");

    std::string value;
    EXPECT_TRUE(child.get_variable("score", value));
    EXPECT_EQ(value, "10");
    EXPECT_TRUE(child.get_variable("name", value));
    EXPECT_EQ(value, "ann");
    EXPECT_FALSE(parent.get_variable("name", value));
    EXPECT_FALSE(child.get_variable("none", value));
}

TEST(Control, TimersNeedAnAttachedControl)
{
    LogCapture log;
    HostedRoot ui;
    Control control;
    control.add_timer([](int) { return true; }, 10);
    control.move_to({5, 6}, {50, 60}, 100);
    EXPECT_THAT(log.text("error"), HasSubstr("Unattached controls cannot create timers."));
    EXPECT_EQ(control.offset(), (Vector2<int>{5, 6})) << "the start position is taken all the same";
    control.fade_color({0, 0, 0, 0}, {1, 1, 1, 1}, false);
    EXPECT_EQ(control.color(), (Color{1, 1, 1, 1})) << "fading an unattached control does nothing";
    EXPECT_TRUE(ui.host.timers.empty());

    Control::attach_to_parent(&control, &ui.root);
    control.add_timer([](int) { return true; }, 10);
    ASSERT_EQ(ui.host.timers.size(), 1u);
    EXPECT_EQ(ui.host.timers[0].interval, 10);
    EXPECT_EQ(ui.host.timers[0].owner, &control);
    control.kill_timers();
    EXPECT_EQ(ui.host.live_timers(), 0);
    control.detach();
}

TEST(Control, FadeColorEasesOutAndEndsAtItsTarget)
{
    HostedRoot ui;
    Control control;
    Control::attach_to_parent(&control, &ui.root);
    control.fade_color({0, 0, 0, 0}, {1, 0.5f, 0, 1}, false);
    EXPECT_EQ(control.color(), (Color{0, 0, 0, 0}));
    ui.host.tick(100);
    // sin(100 / 200 * pi / 2) = sin(pi / 4)
    EXPECT_NEAR(control.color().r, 0.70710678f, 1e-5f);
    EXPECT_NEAR(control.color().g, 0.35355339f, 1e-5f);
    ui.host.tick(99);
    EXPECT_EQ(ui.host.live_timers(), 1);
    ui.host.tick(1);
    EXPECT_EQ(control.color(), (Color{1, 0.5f, 0, 1}));
    EXPECT_EQ(ui.host.live_timers(), 0);
    control.detach();
}

TEST(Control, MoveToFollowsTheCurveAndLandsExactly)
{
    struct Case
    {
        Vector2<int> from, to;
        int duration;
        std::vector<int> ticks;
        std::vector<Vector2<int>> positions;
    };
    const Case cases[] = {
        // s = sin(sqrt(e / d) * pi / 2): e = 25 of 100 gives sin(pi / 4) = 0.7071.
        {{0, 0}, {100, -100}, 100, {25, 75, 1}, {{70, -70}, {100, -100}, {100, -100}}},
        // Truncation toward zero of the whole coordinate: 5 - 0.7071 * 3 = 2.88 -> 2.
        {{5, 5}, {2, 8}, 100, {25}, {{2, 7}}},
        // No time: lands at once, no timer.
        {{10, 10}, {30, 40}, 0, {}, {}},
    };
    for (const Case& c : cases) {
        HostedRoot ui;
        Control control;
        Control::attach_to_parent(&control, &ui.root);
        control.move_to(c.from, c.to, c.duration);
        if (c.duration == 0) {
            EXPECT_EQ(control.offset(), c.to);
            EXPECT_EQ(control.position(), c.to);
            EXPECT_TRUE(ui.host.timers.empty());
        } else {
            EXPECT_EQ(control.position(), c.from);
        }
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            ui.host.tick(c.ticks[i]);
            EXPECT_EQ(control.position(), c.positions[i]) << c.duration << " tick " << i;
        }
        EXPECT_EQ(ui.host.live_timers(), c.duration > 0 && c.ticks.size() < 3 ? 1 : 0);
        control.detach();
    }
}

TEST(Control, FocusHoverAndStacksGoThroughTheHost)
{
    HostedRoot ui;
    Control control;
    control.take_focus();
    control.capture_mouse(1);
    EXPECT_FALSE(control.is_focused());
    EXPECT_TRUE(ui.host.calls.empty()) << "unattached controls ask nothing of the host";
    EXPECT_EQ(control.mouse_position(), (Vector2<int>{0, 0}));

    Control::attach_to_parent(&control, &ui.root);
    place(control, {100, 50}, {10, 10});
    ui.host.m_mouse = {103, 58};
    EXPECT_EQ(control.mouse_position(), (Vector2<int>{3, 8}));
    control.take_focus();
    EXPECT_TRUE(control.is_focused());
    control.drop_focus();
    EXPECT_EQ(ui.host.focused(), nullptr);
    control.capture_mouse(1);
    control.release_mouse();
    control.grab_keys(1);
    control.renew_key_grab();
    control.release_keys();
    EXPECT_THAT(ui.host.calls,
                ElementsAre("capture 1", "release capture", "push focus 1", "renew grab", "release focus"));
    control.detach();
}

}
