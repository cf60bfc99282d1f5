// The credits on the game's own data tree, on a clock the test drives: the text scrolls up a
// pixel every 30 ms, only inside its own rectangle, and "cancel" closes the dialog.
#include "game/shell/dialogs/credits_dlg.h"

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/platform/texture.h"
#include "engine/ui/control_initer.h"
#include "tests/shell/dialog_fixture.h"

namespace kq::test {
namespace {

class CreditsDlgTest : public DialogTest
{
protected:
    CreditsDlgTest() { dialog.set_up(CIIndependent(SkinPath("dialogs.credits"))); }
    ~CreditsDlgTest() override { dialog.detach(); }

    // Text pixels (near white) in a rectangle of the screen.
    static int bright_pixels(const Texture& image, RectI r)
    {
        int count = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const std::uint32_t p = image.pixel({x, y});
                count += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200;
            }
        return count;
    }

    CreditsDlg dialog;
};

TEST_F(CreditsDlgTest, ScrollsAHundredPixelsInThreeSecondsSeenOnlyThroughItsWindow)
{
    const float start = dialog.text().position().y;
    Control::attach_to_parent(&dialog, &root());
    const RectI clip = dialog.clip();
    EXPECT_EQ(clip.x, 40);
    EXPECT_EQ(clip.y, 70);
    EXPECT_EQ(clip.w, 520);
    EXPECT_EQ(clip.h, 400);

    for (int frame = 0; frame < 300; ++frame)
        draw_frame(10);
    EXPECT_FLOAT_EQ(dialog.text().position().y, start - 100.0f);

    // The text runs on below its window: there it is cut, inside it shows.
    const SharedPtr<Texture> image = shot();
    ASSERT_TRUE(image);
    const Vector2<int> at = dialog.position();
    EXPECT_GT(bright_pixels(*image, {at.x + clip.x, at.y + clip.y, clip.w, clip.h}), 100);
    EXPECT_EQ(bright_pixels(*image, {at.x + clip.x, at.y + clip.y + clip.h, clip.w, 24}), 0);
    EXPECT_EQ(bright_pixels(*image, {at.x + clip.x, at.y + clip.y - 12, clip.w, 12}), 0);
}

TEST_F(CreditsDlgTest, TheTextKeepsItsLinesAndRisesIntoAnEmptyWindow)
{
    Control::attach_to_parent(&dialog, &root());
    draw_frame(10);
    const std::u16string& text = dialog.text().display_text();
    const std::string shown(text.begin(), text.end());
    EXPECT_EQ(shown.find("\n\n\n\n"), 0u) << "blank lines come first";
    EXPECT_NE(shown.find("\nVimo\nversion "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nThank you for playing!\n"), std::string::npos) << shown;

    const SharedPtr<Texture> image = shot();
    ASSERT_TRUE(image);
    const Vector2<int> at = dialog.position();
    const RectI clip = dialog.clip();
    EXPECT_EQ(bright_pixels(*image, {at.x + clip.x, at.y + clip.y, clip.w, clip.h / 2}), 0);
}

TEST_F(CreditsDlgTest, CancelClosesItAndANewOpeningStartsAgainFromTheSkin)
{
    const float start = dialog.text().position().y;
    Control::attach_to_parent(&dialog, &root());
    for (int frame = 0; frame < 30; ++frame)
        draw_frame(10);
    const Vector2<int> at = dialog.position();
    click_at({at.x + 300, at.y + 518});
    EXPECT_EQ(dialog.result(), dialog_result_none()) << "closed one step after the click";
    run_deferred_handlers(3);
    EXPECT_EQ(dialog.result(), dialog_result_cancel());
    EXPECT_FALSE(dialog.is_attached());

    CreditsDlg again;
    again.set_up(CIIndependent(SkinPath("dialogs.credits")));
    EXPECT_FLOAT_EQ(again.text().position().y, start);
}

}
}
