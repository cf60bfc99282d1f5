#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/res/res_skin_entries.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"
#include "game/field/field_types.h"
#include "engine/ui/ui_types.h"
#include "game/shell/shell_skin_entries.h"
#include "game/shell/vimo.h"

int main()
{
    // Each library's types: the UI group first, then the lowest library first.
    kq::register_ui_types();
    kq::register_base_types();
    kq::register_res_types();
    kq::register_platform_types();
    kq::register_art_types();
    kq::register_field_types();
    // The skin start-up list: what each component attaches, defines and registers, in the
    // order the skin service carries it out (a document may use what stands before it).
    kq::register_ui_skin_entries();
    kq::register_window_skin_entries();
    kq::register_res_skin_entries();
    kq::register_art_skin_entries();
    kq::register_audio_skin_entries();
    kq::register_shell_skin_entries();
    kq::register_renderer_skin_entries();
    kq::register_check_box_skin_entries();

    kq::Vimo vimo;
    return vimo.run();
}
