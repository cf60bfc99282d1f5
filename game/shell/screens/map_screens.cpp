#include "game/shell/screens/map_screens.h"

#include "engine/ui/control_initer.h"
#include "engine/res/skin_path.h"
#include "game/shell/dialogs/event_dlg.h"
#include "game/shell/dialogs/ingame_dlg.h"
#include "game/shell/play/game_frame.h"

namespace kq {

MapScreens game_map_screens()
{
    return {
        [] {
            SharedPtr<GameFrame> frame(new GameFrame);
            frame->set_up(CIIndependent(SkinPath("frames.game_frame")));
            return SharedPtr<Frame>(frame);
        },
        [](Frame& mission) {
            const auto* frame = dynamic_cast<const GameFrame*>(&mission);
            return frame ? frame->result() : GameState::running;
        },
        [](Control& parent, const Chapter& chapter, const std::vector<MissionEvent>& events) {
            EventDlg dialog(&chapter, &events);
            dialog.set_up(CIIndependent(SkinPath("dialogs.event")));
            dialog.run_modal(parent);
        },
        [](Control& parent) {
            IngameDlg dialog(false);
            dialog.set_up(CIIndependent(SkinPath("dialogs.ingame")));
            return dialog.run_modal(parent);
        },
    };
}

}
