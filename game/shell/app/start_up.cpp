#include "game/shell/app/start_up.h"

#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_skin_entries.h"
#include "engine/res/res_types.h"
#include "engine/ui/ui_types.h"
#include "game/field/field_types.h"
#include "game/shell/app/shell_skin_entries.h"

namespace kq {

void register_game_start_up()
{
    register_ui_types();
    register_base_types();
    register_res_types();
    register_platform_types();
    register_art_types();
    register_field_types();
    register_ui_skin_entries();
    register_window_skin_entries();
    register_res_skin_entries();
    register_art_skin_entries();
    register_audio_skin_entries();
    register_shell_skin_entries();
    register_renderer_skin_entries();
    register_check_box_skin_entries();
}

}
