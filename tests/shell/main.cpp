#include <gtest/gtest.h>

#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_skin_entries.h"
#include "engine/res/res_types.h"
#include "engine/ui/ui_types.h"
#include "game/field/field_types.h"
#include "game/shell/shell_skin_entries.h"

int main(int argc, char** argv)
{
    // The registrations of the game's start, in its order.
    kq::register_ui_types();
    kq::register_base_types();
    kq::register_res_types();
    kq::register_platform_types();
    kq::register_art_types();
    kq::register_field_types();
    kq::register_ui_skin_entries();
    kq::register_window_skin_entries();
    kq::register_res_skin_entries();
    kq::register_art_skin_entries();
    kq::register_audio_skin_entries();
    kq::register_shell_skin_entries();
    kq::register_renderer_skin_entries();
    kq::register_check_box_skin_entries();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
