#include "engine/platform/api_window.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "engine/base/application.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/host/window/input_state.h"
#include "engine/host/window/platform_window.h"
#include "engine/host/window/sdl_window.h"
#include "engine/platform/cursor.h"
#include "engine/platform/display_mode_choice.h"
#include "engine/res/res.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/window/cursor_fixtures.h"

namespace kq {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

/// The Mainframe with "res" and "skin" over a folder holding the window's document.
class ApiWindowTest : public testing::Test
{
protected:
    ApiWindowTest() { m_saved_tasks.swap(skin_startup_tasks()); }

    ~ApiWindowTest() override
    {
        if (m_window)
            stop_api_window_service(m_window);
        if (Skin::instance())
            stop_skin_service();
        if (Res::instance())
            stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_saved_tasks);
        host::input_state() = host::InputState{};
    }

    void write(const std::string& name, const std::string& content)
    {
        std::ofstream(m_dir.file(name), std::ios::binary) << content;
    }

    /// Starts the services with the window node "vimo.window" of the given keys.
    void start_services(const std::string& size, bool fixed, bool fullscreen)
    {
        write("window.sdt", "vimo { window { fullscreen " + std::string(fullscreen ? "true" : "false") +
                                " color_depth 16 size [" + size + "] fixed " + (fixed ? "true" : "false") +
                                " caption \"Test {#nothing}\" max_display_frequency 75 } }\n");
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(m_dir.path() + "default.root");
        skin_startup_tasks() = {make_skin_document_task("window.sdt")};
        start_skin_service();
    }

    void start_window(const std::string& size, bool fixed, bool fullscreen)
    {
        start_services(size, fixed, fullscreen);
        m_window = start_api_window_service(SkinPath("vimo.window"));
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    Uint32 id() const { return SDL_GetWindowID(host::sdl_window(m_window->handle())); }

    void push(SDL_Event event)
    {
        event.window.windowID = id();  // the same place in every event kind used here
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    /// Lets the pump task run until the condition holds; the bound only keeps a broken pump
    /// from hanging the test, a loaded machine may take long to run the pump twice.
    template <class Condition>
    void run_pump_until(Condition done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        Mainframe::run_while([&] { return !done() && std::chrono::steady_clock::now() < deadline; });
    }

    test::LogCapture m_log;
    TempDir m_dir;
    APIWindow* m_window = nullptr;

private:
    std::vector<SkinStartupTask> m_saved_tasks;
};

TEST_F(ApiWindowTest, OpensWindowedInTheMiddleOfTheDesktop)
{
    start_window("(640, 480)", true, false);
    const host::ClientRect desktop = host::desktop_rect();
    const host::ClientRect expected{(desktop.w - 640) / 2, (desktop.h - 480) / 2, 640, 480};
    EXPECT_FALSE(m_window->is_fullscreen());
    EXPECT_EQ(host::client_rect_on_screen(m_window->handle()), expected);
    EXPECT_EQ(m_window->size(), (Vector2<int>{640, 480}));
    EXPECT_EQ(m_window->caption(), "Test nothing");
    EXPECT_EQ(m_window->max_display_frequency(), 75);
    EXPECT_EQ(m_window->color_depth(), 16);
    EXPECT_TRUE(m_window->is_visible());
    EXPECT_THAT(m_log.text("window"), HasSubstr("\n- created: windowed ((" + std::to_string(expected.x) + "," +
                                                std::to_string(expected.y) + "), (640,480)).\n"));
}

TEST_F(ApiWindowTest, OpensFullScreenOverTheDesktopWithItsDepth)
{
    start_window("(640, 480)", true, true);
    const host::DisplayMode desktop = host::current_display_mode();
    EXPECT_TRUE(m_window->is_fullscreen());
    EXPECT_EQ(m_window->client_size(), (Vector2<int>{desktop.width, desktop.height}));
    EXPECT_EQ(m_window->color_depth(), desktop.bits_per_pixel);
    EXPECT_EQ(host::window_mode(m_window->handle()), host::mode_fullscreen);
    EXPECT_THAT(m_log.text("window"), HasSubstr("\n- created: fullscreen.\n"));
}

TEST_F(ApiWindowTest, AWindowTheDesktopCannotHoldGoesFullScreen)
{
    const host::ClientRect desktop = [] {
        host::VideoSystem video;
        return host::desktop_rect();
    }();
    start_window("(" + std::to_string(desktop.w) + ", " + std::to_string(desktop.h) + ")", true, false);
    EXPECT_TRUE(m_window->is_fullscreen());
    EXPECT_THAT(m_log.text("window"), HasSubstr("\n! unable to set windowed mode. screen region to small.\n"));
}

TEST_F(ApiWindowTest, EventsComeOutOfTheSocketsInLogicalPoints)
{
    // 800 x 600 fitted into the desktop: logical points are scaled by desktop width / 800.
    start_window("(800, 600)", true, true);
    const float scale = std::min(m_window->client_size().x / 800.0f, m_window->client_size().y / 600.0f);
    const RectI view = m_window->viewport();
    std::vector<std::string> seen;
    m_window->on_key().connect([&](Key key, KeyState state) { seen.push_back("key " + std::to_string(key) + " " + std::to_string(state)); }, this);
    m_window->on_char().connect([&](char c) { seen.push_back("char " + std::to_string(static_cast<unsigned char>(c))); }, this);
    m_window->on_wheel().connect([&](int delta) { seen.push_back("wheel " + std::to_string(delta)); }, this);
    m_window->on_command().connect([&](WindowCommand command) { seen.push_back("command " + std::to_string(command)); }, this);
    m_window->on_activate().connect([&](bool active) { seen.push_back(active ? "active" : "inactive"); }, this);
    m_window->on_mouse_move().connect([&](Vector2<int> p) { seen.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y)); }, this);
    m_window->on_mouse_enter().connect([&] { seen.push_back("enter"); }, this);

    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym = {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT, 0};
    push(event);
    event.key.keysym = {SDL_SCANCODE_A, SDLK_a, KMOD_NONE, 0};
    push(event);
    event = {};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, "\xC3\xA4", sizeof event.text.text);
    push(event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = -1;
    push(event);
    event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    push(event);
    event.window.event = SDL_WINDOWEVENT_ENTER;
    push(event);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    push(event);
    event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = view.x + static_cast<int>(100 * scale) + 1;
    event.motion.y = view.y + static_cast<int>(50 * scale) + 1;
    push(event);
    event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = view.x + static_cast<int>(100 * scale) + 1;
    event.button.y = view.y + static_cast<int>(50 * scale) + 1;
    push(event);
    // The cursor's entry is noticed at the start of the pump after the one taking the events.
    run_pump_until([&] { return seen.size() >= 9; });

    EXPECT_THAT(seen, ElementsAre("command 2", "key 65 0", "char 228", "wheel -120", "active", "command 1",
                                  "move 100,50", "key 1 0", "enter"));
    EXPECT_TRUE(m_window->is_active());
    // The pixel lies at about (100.8, 50.8): moves truncate it, the position rounds it.
    EXPECT_EQ(m_window->mouse_position(), (Vector2<int>{101, 51}));
}

TEST_F(ApiWindowTest, SwitchingToFullScreenAndBackKeepsTheWindowsPlace)
{
    start_window("(320, 240)", true, false);
    int changes = 0;
    m_window->on_changed().connect([&] { ++changes; }, this);
    host::set_client_rect(m_window->handle(), {70, 80, 320, 240});

    m_window->set_fullscreen(true);
    EXPECT_EQ(host::client_rect_on_screen(m_window->handle()), host::desktop_rect());
    EXPECT_EQ(m_window->client_size(), (Vector2<int>{host::desktop_rect().w, host::desktop_rect().h}));
    m_window->set_fullscreen(true);
    m_window->set_fullscreen(false);
    EXPECT_EQ(host::client_rect_on_screen(m_window->handle()), (host::ClientRect{70, 80, 320, 240}));
    EXPECT_EQ(m_window->window_position(), (Vector2<int>{70, 80}));
    EXPECT_EQ(changes, 2);
    EXPECT_THAT(m_log.text("window"), HasSubstr("\n- new mode: fullscreen.\n- new mode: windowed ((70,80), (320,240)).\n"));
}

TEST_F(ApiWindowTest, StoppingDestroysTheWindowAndTellsOnce)
{
    start_window("(320, 240)", false, false);
    int destroyed = 0;
    m_window->on_destroy().connect([&] { ++destroyed; }, this);
    APIWindow* window = m_window;
    m_window = nullptr;
    SharedPtr<Service> keep(window);
    stop_api_window_service(window);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(window->handle(), nullptr);
    EXPECT_FALSE(window->is_visible());
    EXPECT_THAT(m_log.text("window"), HasSubstr("\n- destroyed.\n"));
}

TEST_F(ApiWindowTest, RegistersTheCursorLoaderAndTheBuiltInCursors)
{
    start_window("(320, 240)", false, false);
    write("hand.cur", test::plain_cursor(32, 32, 5, 6));
    ResHandle<Cursor> empty(ResKey{"empty.cur", 0});
    ResHandle<Cursor> arrow(ResKey{"default.cur", 0});
    ResHandle<Cursor> hand(ResKey{"hand.cur", 0});
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(empty.get()->handle(), nullptr);
    ASSERT_NE(arrow.get(), nullptr);
    ASSERT_NE(arrow.get()->handle(), nullptr);
    EXPECT_EQ(arrow.get()->handle()->system_kind(), 1);
    ASSERT_NE(hand.get(), nullptr);
    EXPECT_EQ(hand.get()->handle()->image().hot_y, 6);
    m_window->set_cursor(hand.get());
    m_window->set_cursor(nullptr);
}

TEST_F(ApiWindowTest, AnotherInstanceBringsTheShownWindowForwardWhileItRuns)
{
    Application application("KQ", "Test", "1");
    start_window("(320, 240)", false, false);
    m_window->show(false);
    application.on_activation_request().emit_void();
    EXPECT_FALSE(m_window->is_visible());
    m_window->show(true);
    application.on_activation_request().emit_void();
    EXPECT_TRUE(m_window->is_visible());
    stop_api_window_service(m_window);
    m_window = nullptr;
    // Nobody is left to answer.
    application.on_activation_request().emit_void();
}

TEST_F(ApiWindowTest, StartingNeedsTheMainframeResAndSkin)
{
    struct Case { int services; const char* error; };
    const Case cases[] = {
        {0, "Unable to start service [api_window]. Mainframe not initialized correctly."},
        {1, "Unable to start service [api_window]. [res] not initialized."},
        {2, "Unable to start service [api_window]. [skin] not initialized."},
    };
    for (const Case& c : cases) {
        if (c.services >= 1)
            Mainframe::create();
        if (c.services >= 2)
            start_res_service();
        try {
            start_api_window_service(SkinPath("vimo.window"));
            ADD_FAILURE() << c.error;
        } catch (const Exception& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.error));
        }
        if (Res::instance())
            stop_res_service();
        Mainframe::destroy();
    }
}

TEST(DisplayModeChoice, FallsBackAndSaysSo)
{
    const host::DisplayMode desktop{1024, 768, 32, 60};
    const std::vector<host::DisplayMode> listed = {{800, 600, 32, 60}, desktop};
    const std::vector<host::DisplayMode> unlisted = {{1024, 768, 16, 60}};
    struct Case {
        const char* title;
        bool fullscreen;
        Vector2<int> logical;
        const std::vector<host::DisplayMode>* modes;
        bool expected;
        const char* log;
    };
    const Case cases[] = {
        {"windowed fits", false, {800, 600}, &listed, false, ""},
        {"windowed as large as the desktop", false, {1024, 768}, &listed, true,
         "! unable to set windowed mode. screen region to small.\n"},
        {"taller than the desktop", false, {800, 768}, &listed, true,
         "! unable to set windowed mode. screen region to small.\n"},
        {"full screen listed", true, {800, 600}, &listed, true, ""},
        {"full screen unlisted stays windowed silently", true, {800, 600}, &unlisted, false, ""},
        {"both fallbacks", false, {1024, 768}, &unlisted, false,
         "! unable to set windowed mode. screen region to small.\n"
         "! unable to set fullscreen mode either. no display mode matches the desktop.\n"},
    };
    {
        // Opened before the captures: opening writes a line of its own.
        test::LogCapture opening;
        get_log("window");
    }
    for (const Case& c : cases) {
        test::LogCapture capture;
        EXPECT_EQ(choose_fullscreen(c.fullscreen, c.logical, desktop, *c.modes, get_log("window")), c.expected) << c.title;
        EXPECT_EQ(capture.text("window"), std::string("\n") + c.log) << c.title;
    }
}

}
}
