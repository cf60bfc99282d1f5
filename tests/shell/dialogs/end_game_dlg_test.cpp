// The end of a mission on the game's own data tree, on a clock the test drives: the time's
// text, the slide and the timed reveal, presses before and after it, a dialog closed or
// destroyed while its reveal waits, and the three lines drawn in the game's font.
#include "game/shell/dialogs/end_game_dlg.h"

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/platform/texture.h"
#include "engine/ui/control_initer.h"
#include "tests/shell/dialog_fixture.h"

namespace kq::test {
namespace {

TEST(EndGameDlgTime, IsMinutesAndSecondsWithHoursOnlyFromAnHourOn)
{
    struct Case
    {
        int ms;
        const char* text;
    };
    for (const Case& c : {Case{0, "00:00"}, Case{999, "00:00"}, Case{59999, "00:59"}, Case{75000, "01:15"},
                          Case{3599999, "59:59"}, Case{3600000, "1:00:00"}, Case{3725000, "1:02:05"},
                          Case{36000000, "10:00:00"}})
        EXPECT_EQ(EndGameDlg::format_time(c.ms), c.text) << c.ms;
}

class EndGameDlgTest : public DialogTest
{
protected:
    static std::unique_ptr<EndGameDlg> make_dialog()
    {
        auto dialog = std::make_unique<EndGameDlg>(GameState::win, 75000, 1234, 87);
        dialog->set_up(CIIndependent(SkinPath("dialogs.endgame")));
        return dialog;
    }

    /// Runs `probe` every millisecond of the clock until it removes itself.
    static void every_ms(std::function<void()> probe, const void* id)
    {
        Mainframe::add_task(std::move(probe), reinterpret_cast<Mainframe::TaskId>(id), 1, Mainframe::periodic);
    }
};

TEST_F(EndGameDlgTest, SlidesInThenRevealsEachLineAndClosesOnlyOnceFinished)
{
    std::unique_ptr<EndGameDlg> dialog = make_dialog();
    std::int64_t start = 0;
    std::int64_t lines[3] = {-1, -1, -1};
    std::int64_t finished = -1;
    std::int64_t slide_done = -1;
    int lowest_slide = 768;
    bool closed_early = false;
    int probe_id = 0;
    every_ms(
        [&] {
            if (!dialog->is_attached())
                return;
            const std::int64_t t = time_ms() - start;
            lowest_slide = std::min(lowest_slide, dialog->slide());
            if (slide_done < 0 && dialog->slide() == 0)
                slide_done = t;
            const char* names[3] = {"time_text", "score_text", "quality_text"};
            for (int i = 0; i < 3; ++i)
                if (lines[i] < 0 && !variable(*dialog, names[i]).empty())
                    lines[i] = t;
            if (finished < 0 && dialog->is_finished())
                finished = t;
            // Presses during the reveal reach only the controls.
            if (t == 2000 || t == 3300) {
                ui().on_key(key_space, state_down);
                ui().on_key(key_space, state_up);
                closed_early = !dialog->is_attached();
            }
            if (t == 3500)
                ui().on_key(key_space, state_down);
        },
        &probe_id);
    start = time_ms();
    const StrCache result = dialog->run_modal(root());
    Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(&probe_id));

    EXPECT_EQ(result, dialog_result_ok());
    EXPECT_FALSE(closed_early);
    EXPECT_EQ(lowest_slide, 0) << "the slide stops at its place, never past it";
    EXPECT_NEAR(double(slide_done), 384.0, 12.0);
    // Each line 750 ms after the previous step, the end 750 ms after the last line.
    EXPECT_NEAR(double(lines[0]), 1134.0, 15.0);
    EXPECT_EQ(lines[1] - lines[0], 750);
    EXPECT_EQ(lines[2] - lines[1], 750);
    EXPECT_EQ(finished - lines[2], 750);
    EXPECT_EQ(variable(*dialog, "time_spent"), "01:15");
    EXPECT_EQ(variable(*dialog, "score_earned"), "1234");
    EXPECT_EQ(variable(*dialog, "quality_earned"), "87");
    EXPECT_EQ(shown_text(*dialog, "time"), "Time: 01:15");
    EXPECT_EQ(shown_text(*dialog, "score"), "Score: 1234");
    EXPECT_EQ(shown_text(*dialog, "quality"), "Quality: 87%");
}

TEST_F(EndGameDlgTest, TheAnyKeyFlagIsSetOnlyOnceFinished)
{
    std::unique_ptr<EndGameDlg> dialog = make_dialog();
    Control::attach_to_parent(dialog.get(), &root());
    std::uint32_t mask = 0;
    std::uint32_t flags = 0;
    dialog->get_view_flags(nullptr, mask, flags);
    EXPECT_EQ(mask & EGVF_ANYKEY, EGVF_ANYKEY);
    EXPECT_EQ(flags & EGVF_ANYKEY, 0u);
    Mainframe::wait(3500);
    ASSERT_TRUE(dialog->is_finished());
    dialog->get_view_flags(nullptr, mask, flags);
    EXPECT_EQ(flags & EGVF_ANYKEY, EGVF_ANYKEY);
    dialog->detach();
}

TEST_F(EndGameDlgTest, AClosedOrDestroyedDialogsRevealStops)
{
    // The reveal waits inside its own task, so the test acts from a task of the same loop.
    int id = 0;
    const auto at = [&id](std::int64_t ms, std::function<void()> action) {
        Mainframe::add_task(std::move(action), reinterpret_cast<Mainframe::TaskId>(&id), ms, Mainframe::run_once);
    };

    // Closed while the reveal waits for its first line: no line appears afterwards.
    std::unique_ptr<EndGameDlg> dialog = make_dialog();
    Control::attach_to_parent(dialog.get(), &root());
    at(700, [&] { dialog->close(dialog_result_cancel()); });
    Mainframe::wait(3500);
    EXPECT_EQ(variable(*dialog, "time_spent"), "01:15") << "the reveal had begun";
    EXPECT_EQ(variable(*dialog, "time_text"), "");
    EXPECT_FALSE(dialog->is_finished());

    // Destroyed while the reveal waits: the task ends without touching it.
    dialog = make_dialog();
    Control::attach_to_parent(dialog.get(), &root());
    at(1500, [&] { dialog.reset(); });
    Mainframe::wait(3500);
    EXPECT_EQ(dialog, nullptr);

    // Closed before the slide ends: the reveal is never posted.
    dialog = make_dialog();
    Control::attach_to_parent(dialog.get(), &root());
    dialog->close(dialog_result_cancel());
    Mainframe::wait(3500);
    EXPECT_EQ(variable(*dialog, "time_spent"), "");
}

// Whether a row band of the screen holds text pixels (near white) between two columns.
int bright_pixels(const Texture& shot, int x0, int x1, int y0, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = shot.pixel({x, y});
            if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200)
                ++count;
        }
    return count;
}

TEST_F(EndGameDlgTest, ShowsItsThreeLinesInTheGamesFontAsTheyAreRevealed)
{
    std::unique_ptr<EndGameDlg> dialog = make_dialog();
    Control::attach_to_parent(dialog.get(), &root());
    // The lines' text boxes of the skin (480 wide from x 272, 36 high from y 542, 582, 622):
    // each line is centred, so its glyphs cover the middle of its box and leave its ends.
    const int tops[3] = {542, 582, 622};
    const auto line_shows = [&](const Texture& image, int line) {
        return bright_pixels(image, 512 - 60, 512 + 60, tops[line] + 6, tops[line] + 30) > 40;
    };
    const auto margins_clear = [&](const Texture& image, int line) {
        return bright_pixels(image, 272, 272 + 60, tops[line], tops[line] + 36) == 0 &&
               bright_pixels(image, 752 - 60, 752, tops[line], tops[line] + 36) == 0;
    };

    // The hint that any press goes on, in yellow under the lines, once the reveal has ended.
    const auto hint_shows = [](const Texture& image) {
        int count = 0;
        for (int y = 668; y < 698; ++y)
            for (int x = 512 - 80; x < 512 + 80; ++x) {
                const std::uint32_t p = image.pixel({x, y});
                count += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 170 && (p & 0xFF) < 160;
            }
        return count > 40;
    };

    // The reveal waits inside its own task: the pictures are taken from tasks of that loop.
    SharedPtr<Texture> images[4];
    int id = 0;
    for (const auto& [when, slot] : {std::pair{600, 0}, std::pair{1200, 1}, std::pair{2800, 2}, std::pair{3500, 3}})
        Mainframe::add_task([&, slot = slot] { images[slot] = shot(); }, reinterpret_cast<Mainframe::TaskId>(&id),
                            when - 200, Mainframe::run_once);
    Mainframe::wait(3600);
    for (const SharedPtr<Texture>& image : images)
        ASSERT_TRUE(image);

    for (int line = 0; line < 3; ++line)
        EXPECT_FALSE(line_shows(*images[0], line)) << "line " << line << " before the reveal";
    // The first line is written at 1134 ms, the last at 2634 ms, the end at 3384 ms.
    EXPECT_TRUE(line_shows(*images[1], 0));
    EXPECT_FALSE(line_shows(*images[1], 1));
    for (int line = 0; line < 3; ++line) {
        EXPECT_TRUE(line_shows(*images[2], line)) << "line " << line;
        EXPECT_TRUE(margins_clear(*images[2], line)) << "line " << line;
    }
    EXPECT_FALSE(hint_shows(*images[2]));
    EXPECT_TRUE(hint_shows(*images[3]));
    dialog->detach();
}

}
}
