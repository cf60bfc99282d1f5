// A mission's story events on the game's own data tree, on a clock the test drives: events
// whose condition fails are skipped, any press goes on, a release does not, and the dialog
// fades in over a second.
#include "game/shell/dialogs/event_dlg.h"

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/platform/texture.h"
#include "engine/ui/control_initer.h"
#include "tests/shell/dialog_fixture.h"

namespace kq::test {
namespace {

class EventDlgTest : public DialogTest
{
protected:
    static std::vector<MissionEvent> events(std::initializer_list<std::pair<Condition, const char*>> list)
    {
        std::vector<MissionEvent> out;
        for (const auto& [condition, text] : list)
            out.push_back({SharedPtr<Sprite>(), text, condition});
        return out;
    }

    void press(Key key, KeyState state)
    {
        ui().on_mouse_move({500, 300});
        ui().on_key(key, state);
    }

    Chapter chapter;
};

TEST_F(EventDlgTest, ShowsTheEventsWhoseConditionHoldsOneAPressAfterAnother)
{
    // Without trophies: "has_not_trophy" holds, "has_trophy" and "never" do not.
    const std::vector<MissionEvent> list = events({{Condition::never, "skipped"},
                                                   {Condition::always, "first"},
                                                   {Condition::has_trophy, "skipped too"},
                                                   {Condition::has_not_trophy, "second"}});
    EventDlg dialog(&chapter, &list);
    dialog.set_up(CIIndependent(SkinPath("dialogs.event")));
    std::vector<std::string> seen;
    act_at(100, [&] {
        seen.push_back(variable(dialog, "text"));
        press(key_space, state_up);  // a release does nothing
        seen.push_back(variable(dialog, "text"));
        press(key_space, state_down);
        seen.push_back(variable(dialog, "text"));
        press(key_mouse_left, state_down);  // a click anywhere goes on too
    });
    EXPECT_EQ(dialog.run_modal(root()), dialog_result_ok());
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "first", "second"}));
    EXPECT_EQ(shown_text(dialog, "text"), "second");
}

TEST_F(EventDlgTest, ClosesAtOnceWhenNoConditionHolds)
{
    const std::vector<MissionEvent> list = events({{Condition::never, "a"}, {Condition::has_trophy, "b"}});
    EventDlg dialog(&chapter, &list);
    dialog.set_up(CIIndependent(SkinPath("dialogs.event")));
    Control::attach_to_parent(&dialog, &root());
    EXPECT_EQ(dialog.result(), dialog_result_ok());
    EXPECT_FALSE(dialog.is_attached());
}

TEST_F(EventDlgTest, FadesInOverOneSecond)
{
    const std::vector<MissionEvent> list = events({{Condition::always, ""}});
    EventDlg dialog(&chapter, &list);
    dialog.set_up(CIIndependent(SkinPath("dialogs.event")));
    Control::attach_to_parent(&dialog, &root());
    // A point of the text panel, away from its text and outline.
    ResHandle<Texture> panel(ResKey{"art/dialogs/event_panel.png", 0});
    const std::uint32_t texel = panel.get()->pixel({18, 140});
    const auto green = [](std::uint32_t p) { return int((p >> 8) & 0xFF); };
    ASSERT_GT(green(texel), 40);

    draw_frame(500);
    EXPECT_NEAR(green(shot()->pixel({92 + 18, 520 + 140})), green(texel) / 2, 4) << "half way";
    draw_frame(500);
    EXPECT_NEAR(green(shot()->pixel({92 + 18, 520 + 140})), green(texel), 2) << "opaque after a second";
    dialog.detach();
}

}
}
