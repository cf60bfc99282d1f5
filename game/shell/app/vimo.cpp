#include "game/shell/app/vimo.h"

#include "engine/art/art_service.h"
#include "engine/base/file_path.h"
#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/audio.h"
#include "engine/platform/bitmap.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/dictionary.h"
#include "engine/res/res.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

// The picture the desktop shows for the window.
void set_window_icon(APIWindow& window)
{
    ResHandle<Bitmap> icon(ResKey{FilePath("art/icon.png").str(), 0});
    if (const Bitmap* picture = icon.get())
        window.set_icon(*picture);
}

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
    m_window->on_destroy().connect([] { Mainframe::quit(); }, this);
    start_audio_service();
    start_art_service();
    set_window_icon(*m_window);
    start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
    DXArtist* artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    m_ui = start_ui_service(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), artist);
    // The window shows its first (empty) frame at once; the game starts after it.
    m_ui->draw_frame();
    start_game_service(SkinPath("vimo.game"), SharedPtr<UI>(m_ui));
}

void Vimo::shutdown()
{
    stop_game_service();
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
