#include "engine/ui/ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/log_capture.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"
#include "tests/ui/ui_fixture.h"

namespace kq::test {

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

class UiTest : public UiFixture
{
protected:
    std::vector<std::string> m_journal;
};

}

TEST_F(UiTest, RootCoversTheLogicalScreenAndOwnsTheKeyboardStack)
{
    EXPECT_EQ(root().size(), (Vector2<int>{1024, 768}));
    ASSERT_EQ(ui().key_stack().size(), 1u);
    EXPECT_EQ(ui().key_stack()[0].control, &root());
    EXPECT_EQ(UI::instance(), &ui());
}

TEST_F(UiTest, HoverFollowsTheMouseAndAClickNeedsTheReleaseInside)
{
    Probe button(m_journal, "button");
    place(button, {100, 100}, {50, 30});
    Control::attach_to_parent(&button, &root());
    int clicks = 0;
    button.on_click().connect([&clicks] { ++clicks; }, &clicks);
    std::vector<Control*> hovers;
    ui().on_hover_changed().connect([&hovers](Control* c) { hovers.push_back(c); }, &hovers);

    ui().on_mouse_move({110, 110});
    EXPECT_EQ(ui().hovered(), &button);
    press();
    release();
    EXPECT_EQ(clicks, 1);

    m_clock.time += 1000;
    press();
    ui().on_mouse_move({300, 300});
    release();
    EXPECT_EQ(clicks, 1) << "released outside";
    EXPECT_THAT(m_journal, ElementsAre("enter button", "key button 1 0", "key button 1 1", "key button 1 0",
                                       "leave button"));
    EXPECT_THAT(hovers, ElementsAre(&button, &root()));
    EXPECT_TRUE(button.is_focused()) << "the press took the focus";

    ui().on_window_leave();
    EXPECT_EQ(ui().hovered(), nullptr);
    ui().on_window_enter();
    EXPECT_EQ(ui().hovered(), &root());
    ui().on_hover_changed().disconnect(&hovers);
}

TEST_F(UiTest, DoubleClicksNeedTheSameButtonWithinTheIntervalAndNoMove)
{
    struct Case
    {
        const char* name;
        int gap_ms;
        bool move_between;
        Key second;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"150 ms", 150, false, key_mouse_left, {"key p 1 0", "key p 1 2", "key p 1 0"}},
        {"exactly the interval", 300, false, key_mouse_left, {"key p 1 0", "key p 1 2", "key p 1 0"}},
        {"1 ms later", 301, false, key_mouse_left, {"key p 1 0", "key p 1 0", "key p 1 2"}},
        {"moved between", 100, true, key_mouse_left, {"key p 1 0", "key p 1 0", "key p 1 2"}},
        {"other button", 100, false, key_mouse_right, {"key p 1 0", "key p 2 0", "key p 1 0"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> journal;
        Probe probe(journal, "p");
        place(probe, {0, 0}, {500, 500});
        Control::attach_to_parent(&probe, &root());
        ui().on_mouse_move({10, 10});
        journal.clear();
        press();
        m_clock.time += c.gap_ms;
        if (c.move_between)
            ui().on_mouse_move({10, 10});
        press(c.second);
        press();  // right after: a double click after a plain press, a plain press after a double
        EXPECT_EQ(journal, c.expected) << c.name;
        probe.detach();
        ui().on_mouse_move({900, 700});
        m_clock.time += 1000;
    }
}

TEST_F(UiTest, CaptureHoldsTheHoverAndAnExclusiveAreaKeepsItInside)
{
    Probe dialog(m_journal, "dialog");
    Probe inner(m_journal, "inner");
    Probe outside(m_journal, "outside");
    place(dialog, {100, 100}, {200, 200});
    place(inner, {10, 10}, {20, 20});
    place(outside, {500, 500}, {50, 50});
    Control::attach_to_parent(&dialog, &root());
    Control::attach_to_parent(&inner, &dialog);
    Control::attach_to_parent(&outside, &root());

    ui().on_mouse_move({115, 115});
    inner.capture_mouse(1);
    EXPECT_THAT(m_window->calls, ElementsAre("capture"));
    ui().on_mouse_move({510, 510});
    EXPECT_EQ(ui().hovered(), &inner);
    ui().on_window_leave();
    EXPECT_EQ(ui().hovered(), &inner);
    inner.release_mouse();
    EXPECT_EQ(ui().hovered(), &outside);
    EXPECT_EQ(m_window->calls.back(), "release");

    dialog.capture_mouse(0);
    EXPECT_EQ(ui().hovered(), &dialog) << "outside the exclusive area the area itself is hovered";
    m_journal.clear();
    press();
    EXPECT_THAT(m_journal, ElementsAre("key dialog 1 0"));
    ui().on_mouse_move({115, 115});
    EXPECT_EQ(ui().hovered(), &inner);
    dialog.release_mouse();

    LogCapture log;
    dialog.release_mouse();
    EXPECT_THAT(log.text("error"), HasSubstr("Control have not mouse capture."));
}

TEST_F(UiTest, KeysFallThroughTheKeyboardStackToTheRoot)
{
    Probe lower(m_journal, "lower", true);
    Probe upper(m_journal, "upper", false);
    Probe hidden(m_journal, "hidden", true);
    for (Probe* probe : {&lower, &upper, &hidden})
        Control::attach_to_parent(probe, &root());
    hidden.set_hidden(true);
    lower.grab_keys(0);
    hidden.grab_keys(0);
    upper.grab_keys(1);
    EXPECT_THAT(m_window->calls, ElementsAre("grab"));
    m_journal.clear();
    ui().on_key(key_escape, state_down);
    EXPECT_THAT(m_journal, ElementsAre("key upper 27 0", "key lower 27 0"));

    m_journal.clear();
    lower.release_keys();
    ui().on_key(key_escape, state_down);
    EXPECT_THAT(m_journal, ElementsAre("key upper 27 0")) << "then the root, which answers false";
    upper.release_keys();
    EXPECT_EQ(m_window->calls.back(), "ungrab");
    hidden.release_keys();
}

TEST_F(UiTest, TimersFireOncePerWholeIntervalAndCatchUp)
{
    Control owner;
    Control::attach_to_parent(&owner, &root());
    std::vector<int> stepped;
    std::vector<int> running;
    owner.add_timer([&stepped](int elapsed) { stepped.push_back(elapsed); return true; }, 100);
    owner.add_timer([&running](int elapsed) { running.push_back(elapsed); return elapsed < 300; }, 0);
    for (int dt : {250, 60, 10})
    {
        m_clock.time += dt;
        ui().update_timers();
    }
    EXPECT_THAT(stepped, ElementsAre(100, 200, 300));
    EXPECT_THAT(running, ElementsAre(250, 310)) << "ended by its answer";

    owner.kill_timers();
    m_clock.time += 500;
    ui().update_timers();
    EXPECT_THAT(stepped, ElementsAre(100, 200, 300)) << "killed timers are not called again";

    // A timer added between steps counts from 0: the next step's time is its first.
    m_clock.time += 7;
    std::vector<int> late;
    owner.add_timer([&late](int elapsed) { late.push_back(elapsed); return false; }, 0);
    m_clock.time += 3;
    ui().update_timers();
    EXPECT_THAT(late, ElementsAre(10));

    LogCapture log;
    ui().add_timer([](int) { return true; }, 10, nullptr);
    ui().add_timer(nullptr, 10, &owner);
    ui().add_timer([](int) { return true; }, -1, &owner);
    const std::string errors = log.text("error");
    int refused = 0;
    for (std::size_t at = errors.find("Invalid timer. Ignored."); at != std::string::npos;
         at = errors.find("Invalid timer. Ignored.", at + 1))
        ++refused;
    EXPECT_EQ(refused, 3);
    owner.detach();
}

TEST_F(UiTest, AControlDetachedInsideItsOwnHandlerLeavesTheUiSound)
{
    class Vanishing : public Control
    {
    public:
        bool on_key(Key key, KeyState state) override
        {
            Control::on_key(key, state);
            detach();
            return true;
        }
        void on_mouse_enter() override
        {
            Control::on_mouse_enter();
            if (vanish_on_enter)
                detach();
        }
        bool vanish_on_enter = false;
    };
    Vanishing control;
    place(control, {0, 0}, {100, 100});
    Control::attach_to_parent(&control, &root());
    ui().on_mouse_move({10, 10});
    control.capture_mouse(1);
    control.grab_keys(1);
    press();
    EXPECT_EQ(ui().hovered(), &root());
    EXPECT_EQ(ui().focused(), nullptr);
    EXPECT_TRUE(ui().capture_stack().empty());
    EXPECT_EQ(ui().key_stack().size(), 1u);
    EXPECT_THAT(m_window->calls, ElementsAre("capture", "grab", "release", "ungrab"));

    control.vanish_on_enter = true;
    Control::attach_to_parent(&control, &root());
    ui().on_mouse_move({20, 20});
    EXPECT_EQ(ui().hovered(), &root());
    ui().on_mouse_move({30, 30});
    EXPECT_EQ(ui().hovered(), &root());
}

TEST_F(UiTest, WindowEventsArriveOnALaterSchedulerStep)
{
    Probe probe(m_journal, "probe");
    place(probe, {0, 0}, {100, 100});
    Control::attach_to_parent(&probe, &root());
    m_journal.clear();
    m_window->on_mouse_move().emit(Vector2<int>{10, 10});
    m_window->on_key().emit(key_mouse_left, state_down);
    EXPECT_TRUE(m_journal.empty()) << "nothing is handled inside the emission";
    Mainframe::step();
    Mainframe::step();
    EXPECT_EQ(ui().mouse_position(), (Vector2<int>{10, 10}));
    EXPECT_THAT(m_journal, ElementsAre("key probe 1 0"));
}

TEST_F(UiTest, FramesDrawMarginsTheTreeUnderAScissorAndTheSoftwareCursor)
{
    register_test_sprites();
    SharedPtr<Tile> pointer(new Tile);
    pointer->set_size(Vector2<float>{4, 4});
    pointer->set_color({0, 0, 1, 1});
    root().set_sw_cursor(pointer);
    ui().set_hw_cursor(false);
    ui().on_mouse_move({300, 200});
    // The surface is wider than the logical screen: bands left and right of it.
    m_artist.screen = Rect{-128, 0, 1280, 768};

    ui().draw_frame();
    EXPECT_THAT(m_artist.calls, testing::Contains("clear 0 0 0 1")) << "the first frame clears";
    m_artist.calls.clear();
    m_artist.batches.clear();
    ui().draw_frame();
    EXPECT_THAT(m_artist.calls, testing::Not(testing::Contains("clear 0 0 0 1")));
    EXPECT_THAT(m_artist.calls, testing::Contains("scissor 0 0 1024 768"));
    std::vector<DeviceVertex> vertices;
    for (const RecordedBatch& batch : m_artist.batches)
        vertices.insert(vertices.end(), batch.vertices.begin(), batch.vertices.end());
    ASSERT_EQ(vertices.size(), 12u) << "two bands and the cursor";
    EXPECT_FLOAT_EQ(vertices[0].x, -130);
    EXPECT_FLOAT_EQ(vertices[0].y, -2);
    EXPECT_FLOAT_EQ(vertices[2].x, 2);
    EXPECT_FLOAT_EQ(vertices[2].y, 770);
    EXPECT_FLOAT_EQ(vertices[4].x, 1022);
    EXPECT_FLOAT_EQ(vertices[6].x, 1154);
    EXPECT_EQ(vertices[0].color, packed(0, 0, 0, 1));
    EXPECT_FLOAT_EQ(vertices[8].x, 300);
    EXPECT_FLOAT_EQ(vertices[8].y, 200);
    EXPECT_EQ(vertices[8].color, packed(0, 0, 1, 1));
}

}

namespace kq::test {

TEST_F(UiTest, ADraggedControlFollowsTheMouseAndIsDroppedOnTheHoveredControl)
{
    class Target : public Probe
    {
    public:
        using Probe::Probe;
        void on_drop(SharedPtr<Control>& dropped) override
        {
            m_journal.push_back("drop on " + m_name);
            if (adopt) {
                kept = dropped;
                dropped = SharedPtr<Control>();
            }
        }
        bool adopt = false;
        SharedPtr<Control> kept;
    };
    Target target(m_journal, "target");
    place(target, {500, 500}, {100, 100});
    Control::attach_to_parent(&target, &root());
    SharedPtr<Control> dragged(new Control);
    place(*dragged, {0, 0}, {10, 10});
    dragged->set_state(Control::state_transparent_self, Control::state_transparent_self);
    Control::attach_to_parent(dragged.get(), &root());

    ui().start_drag(dragged, {-5, -5});
    ui().on_mouse_move({550, 550});
    EXPECT_EQ(dragged->position(), (Vector2<int>{545, 545}));
    m_journal.clear();
    press();
    release();
    EXPECT_THAT(m_journal, ElementsAre("key target 1 0", "key target 1 1", "drop on target"));
    EXPECT_FALSE(dragged->is_attached()) << "what the receiver leaves in the slot goes";
    EXPECT_FALSE(ui().dragged());

    // A receiver may take the control; a release of another button drops nothing.
    Control::attach_to_parent(dragged.get(), &root());
    target.adopt = true;
    ui().start_drag(dragged, {0, 0});
    release(key_mouse_right);
    EXPECT_TRUE(ui().dragged());
    release();
    EXPECT_EQ(target.kept.get(), dragged.get());
    EXPECT_TRUE(dragged->is_attached());
    dragged->detach();
}

}
