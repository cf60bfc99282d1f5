#include "engine/host/window/platform_window.h"

#include <algorithm>

#include "engine/host/system/clock.h"
#include "engine/host/window/clipboard.h"
#include "engine/host/window/host_cursor.h"
#include "window_fixture.h"

namespace kq::test {
namespace {

class PlatformWindowTest : public WindowTest
{
protected:
    /// An opaque white square picture.
    static host::CursorImage picture(int side)
    {
        return {side, side, 0, 0, std::vector<std::uint8_t>(side * side * 4, 255)};
    }
};

TEST_F(PlatformWindowTest, TheDesktopIsOneOfTheListedModes)
{
    const host::DisplayMode desktop = host::current_display_mode();
    EXPECT_GT(desktop.width, 0);
    EXPECT_GT(desktop.height, 0);
    EXPECT_GE(desktop.bits_per_pixel, 24);
    EXPECT_EQ(host::desktop_rect(), (host::ClientRect{0, 0, desktop.width, desktop.height}));
    std::vector<host::DisplayMode> modes(3);
    host::display_modes(modes);
    EXPECT_TRUE(std::any_of(modes.begin(), modes.end(), [&](const host::DisplayMode& mode) {
        return mode.width == desktop.width && mode.height == desktop.height &&
               mode.bits_per_pixel == desktop.bits_per_pixel;
    }));
}

TEST_F(PlatformWindowTest, AWindowTakesItsClientRectAndSwitchesModes)
{
    EXPECT_EQ(host::client_rect_on_screen(m_window), (host::ClientRect{40, 30, 320, 240}));
    EXPECT_EQ(host::window_mode(m_window), host::mode_windowed);

    host::set_client_rect(m_window, {50, 60, 200, 100});
    EXPECT_EQ(host::client_rect_on_screen(m_window), (host::ClientRect{50, 60, 200, 100}));

    const host::ClientRect desktop = host::desktop_rect();
    host::set_window_mode(m_window, host::mode_fullscreen);
    EXPECT_EQ(host::window_mode(m_window), host::mode_fullscreen);
    EXPECT_EQ(host::client_rect_on_screen(m_window), desktop);
    // A full-screen window keeps covering the desktop.
    host::set_client_rect(m_window, {50, 60, 200, 100});
    EXPECT_EQ(host::client_rect_on_screen(m_window), desktop);

    host::set_window_mode(m_window, host::mode_windowed);
    host::set_client_rect(m_window, {10, 20, 300, 200});
    EXPECT_EQ(host::client_rect_on_screen(m_window), (host::ClientRect{10, 20, 300, 200}));
}

TEST_F(PlatformWindowTest, AWindowOpensFullScreenOverTheDesktop)
{
    open(host::mode_fullscreen);
    EXPECT_EQ(host::window_mode(m_window), host::mode_fullscreen);
    EXPECT_EQ(host::client_rect_on_screen(m_window), host::desktop_rect());
}

TEST_F(PlatformWindowTest, ShowingHidingAndTheCursor)
{
    EXPECT_TRUE(host::is_window_shown(m_window));
    host::show_window(m_window, false);
    EXPECT_FALSE(host::is_window_shown(m_window));
    host::activate_window(m_window);  // a hidden window stays hidden
    EXPECT_FALSE(host::is_window_shown(m_window));
    host::show_window(m_window, true);
    host::activate_window(m_window);
    EXPECT_TRUE(host::is_window_shown(m_window));

    host::set_cursor_position(m_window, {12, 34});
    EXPECT_EQ(host::cursor_position(m_window), (host::Point{12, 34}));

    // Cursors can be set and hidden on any driver, even one that draws none.
    host::set_cursor(host::system_cursor(1));
    const host::CursorHandle still = std::make_shared<const host::CursorShape>(host::CursorFile{{picture(2)}, {}});
    host::set_cursor(still);
    EXPECT_EQ(host::shown_cursor_frame(), 0);
    host::set_cursor(nullptr);
    EXPECT_EQ(host::shown_cursor_frame(), -1);
    EXPECT_EQ(host::system_cursor(4), nullptr);
}

TEST_F(PlatformWindowTest, AnAnimatedCursorShowsTheStepDue)
{
    auto shape = std::make_shared<const host::CursorShape>(
        host::CursorFile{{picture(2), picture(4)}, {{1, 100}, {0, 50}}});
    const std::int64_t start = host::monotonic_ms();
    host::set_cursor(shape);
    EXPECT_EQ(host::shown_cursor_frame(), 1);
    struct Step { std::int64_t at; int frame; };
    const Step steps[] = {{50, 1}, {120, 0}, {160, 1}, {270, 0}, {40, 1}};
    for (const Step& step : steps) {
        host::animate_cursor(start + step.at);
        EXPECT_EQ(host::shown_cursor_frame(), step.frame) << step.at;
    }
    // A shape that goes away stops its animation.
    shape.reset();
    host::animate_cursor(start + 120);
    EXPECT_EQ(host::shown_cursor_frame(), -1);
}

TEST_F(PlatformWindowTest, AMessageWithoutADisplayGoesToStandardError)
{
    if (host::VideoSystem::driver_name() != "offscreen")
        GTEST_SKIP() << "a real display would show the box and wait";
    testing::internal::CaptureStderr();
    host::debug_message("caf\xE9");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "KQ debug message: caf\xC3\xA9\n");
}

TEST_F(PlatformWindowTest, ClipboardTextTravelsInTheCodePage)
{
    struct Case { std::string text; std::string back; };
    const Case cases[] = {
        {"caf\xE9 \x80", "caf\xE9 \x80"},
        {"", ""},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const Case& c : cases) {
        host::set_clipboard_text(c.text);
        EXPECT_EQ(host::get_clipboard_text(), c.back);
    }
}

}
}
