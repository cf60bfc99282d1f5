// Runs the game in this process and closes its window as a player does.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/base/mainframe.h"
#include "engine/host/window/sdl_window.h"
#include "engine/platform/api_window.h"
#include "engine/res/skin_startup.h"
#include "game/shell/vimo.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

/// The game, which puts the events in its window's queue once it has started, and gives up
/// after a while if they do not end it.
class ClosedVimo : public Vimo
{
public:
    explicit ClosedVimo(std::vector<SDL_Event> events) : m_events(std::move(events)) {}

    void start() override
    {
        Vimo::start();
        for (SDL_Event event : m_events) {
            event.window.windowID = SDL_GetWindowID(host::sdl_window(window()->handle()));
            SDL_PushEvent(&event);
        }
        Mainframe::add_task(
            [this] {
                timed_out = true;
                Mainframe::quit();
            },
            0, 5000, Mainframe::run_once);
    }

    bool timed_out = false;

private:
    std::vector<SDL_Event> m_events;
};

std::string file_text(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(VimoWindow, TheCloseButtonAndAltF4EndTheGame)
{
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event alt_f4{};
    alt_f4.type = SDL_KEYDOWN;
    alt_f4.key.keysym = {SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT, 0};
    struct Case { const char* title; SDL_Event event; };
    const Case cases[] = {{"close button", close}, {"Alt+F4", alt_f4}};

    std::vector<SkinStartupTask> saved;
    saved.swap(skin_startup_tasks());
    TempDir home;
    ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        skin_startup_tasks() = {make_skin_document_task("ui/ui.sdt"), make_skin_document_task("ui/controls.sdt"),
                                make_skin_document_task("window/window.sdt")};
        ClosedVimo vimo({c.event});
        EXPECT_EQ(vimo.run(), 0);
        EXPECT_FALSE(vimo.timed_out);
    }
    skin_startup_tasks().swap(saved);
    // The logs stay open in the folder of the first run.
    const std::string log = file_text(home.file("KQ/Vimo/window.log"));
    EXPECT_NE(log.find("- created: "), std::string::npos) << log;
    EXPECT_NE(log.find("- destroyed."), std::string::npos) << log;
}

}
}
