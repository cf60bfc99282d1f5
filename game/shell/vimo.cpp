#include "game/shell/vimo.h"

#include "engine/art/art_service.h"
#include "engine/base/file_path.h"
#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/audio.h"
#include "engine/platform/dx_artist.h"
#include "engine/ui/ui.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/dictionary.h"
#include "engine/res/res.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin.h"

namespace kq {

namespace {

// The words stay published for the whole run; the dictionary itself is not kept.
void publish_dictionary()
{
    ResHandle<Dictionary> dictionary(ResKey{FilePath("skin/main/dic.xml").str(), 0});
    if (Dictionary* loaded = dictionary.get())
        loaded->publish_words();
}

}

Vimo::Vimo() : Application("KQ", "Vimo", "1.3.2") {}

void Vimo::start()
{
    Application::start();
    start_res_service();
    start_skin_service();
    publish_dictionary();
    m_window = start_api_window_service(SkinPath("vimo.window"));
    // The loop ends when the window goes away.
    m_window->on_destroy.connect([] { Mainframe::quit(); }, this);
    // Until the game's shell answers the window's commands, closing the window ends the loop.
    m_window->on_command.connect(
        [](WindowCommand command) {
            if (command == window_close)
                Mainframe::quit();
        },
        this);
    start_audio_service();
    start_art_service();
    start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
    DXArtist* artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    start_ui_service(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), artist);
}

void Vimo::shutdown()
{
    stop_ui_service();
    stop_dxdraw_service();
    stop_art_service();
    stop_audio_service();
    stop_api_window_service(m_window);
    m_window = nullptr;
    stop_skin_service();
    stop_res_service();
    Application::shutdown();
}

}
