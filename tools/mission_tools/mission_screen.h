// What the developer's mission tools share: the game's registrations, the services a mission
// needs on the real screen, and a main that reports errors instead of throwing them out.
#pragma once

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "engine/art/art_service.h"
#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/audio.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/shell/app/start_up.h"

namespace kq::tools {

/// The resources, skins, window and renderer of the data tree named by `root`, started for the
/// object's life and stopped in reverse.
class MissionScreen
{
public:
    explicit MissionScreen(const std::string& root)
    {
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(std::filesystem::absolute(root).string());
        start_skin_service();
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        // The field's texts load their fonts.
        start_art_service();
        // The field's objects load their sounds (SDL_AUDIODRIVER=dummy plays them nowhere).
        start_audio_service();
    }
    ~MissionScreen()
    {
        stop_audio_service();
        stop_art_service();
        stop_dxdraw_service();
        stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
    }
    MissionScreen(const MissionScreen&) = delete;
    MissionScreen& operator=(const MissionScreen&) = delete;

    APIWindow* window() const { return m_window; }

private:
    APIWindow* m_window = nullptr;
};

/// Registers the game and runs `body`; an error is printed after the tool's name and gives 1.
inline int run_tool(const char* name, const std::function<void()>& body)
{
    register_game_start_up();
    try {
        body();
    } catch (const Exception& error) {
        std::cerr << name << ": " << error.message() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}

}
