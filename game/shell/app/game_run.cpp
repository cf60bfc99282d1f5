// The game's flow, from the title music to the end of the title screen.
#include "engine/base/mainframe.h"
#include "engine/platform/audio.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"
#include "game/shell/app/resource_groups.h"
#include "game/shell/screens/title_frame.h"

namespace kq {

void Game::run()
{
    if (Audio* audio = Audio::instance())
        audio->play_music_path(title_music(), MusicFade{});
    play_intro("art/logo/");
    preload(resource_group::general | resource_group::main_menu);
    Mainframe::run_while([this] { return frame_manager().is_fading(); });
    // Hidden since the start, the cursor shows from the title on.
    ui().show_cursor(true);
    ui().update_cursor();

    SharedPtr<TitleFrame> title(new TitleFrame);
    title->set_up(CIIndependent(SkinPath("frames.title_frame")));
    frame_manager().run_frame(SharedPtr<Frame>(title), Fade());
}

}
