#include "game/shell/shell_skin_entries.h"

#include <string>

#include "engine/base/str_cache.h"
#include "engine/res/skin_startup.h"

namespace kq {
namespace {

void document(const std::string& path)
{
    add_skin_startup_task(make_skin_document_task(path));
}

void constant(const char* name, int value)
{
    add_skin_startup_task(make_skin_definitions_task(name, std::to_string(value)));
}

}

void register_shell_skin_entries()
{
    for (const char* name : {"vimocontrols", "game", "dialogs", "items", "vimoes", "field_borders",
                             "stuff", "treasures", "holes", "spirits", "obstacles", "effects",
                             "efpowerup", "efbonus"})
        document(std::string("game/") + name + ".sdt");
    for (int chapter = 1; chapter <= 8; ++chapter)
        document("game/chapter" + std::to_string(chapter) + ".sdt");
    document("game/titleframe.sdt");
    document("game/field.sdt");
    // Each of the components that show the panels registers their document; it is attached
    // once all the same.
    document("game/panels.sdt");
    document("game/panels.sdt");
    document("game/gameframe.sdt");
    document("game/panels.sdt");
    document("game/panels.sdt");
    constant("EGVF_ANYKEY", 4096);
}

void register_window_skin_entries()
{
    document("window/window.sdt");
}

void register_art_skin_entries()
{
    document("art/art.sdt");
    document("art/sprites.sdt");
    constant("IF_NONE", 0);
    constant("IF_TRANSFORMATION", 1);
    constant("IF_RECT", 8);
    constant("IF_STATE", 32);
    constant("IF_DATA", 64);
    constant("IF_COLOR", 16);
    constant("IF_GLOBALCOLOR", 256);
    constant("IF_DEFAULT", 96);
    constant("IF_ACCEPTOR", 65536);
    constant("IF_ALL", 255);
    constant("SP_POSITION", 1000);
    constant("SP_ROTATION", 1001);
    constant("SP_SCALE", 1002);
    constant("SP_SIZE", 1010);
    constant("SP_PIVOT", 1011);
    constant("SP_COLOR", 1020);
    constant("SP_ALPHA", 1021);
    constant("SP_VISIBLE", 1030);
    constant("SP_TEXTURE", 2000);
    constant("SP_TBEGIN", 2010);
    constant("SP_SEC_TBEGIN", 2110);
}

void register_audio_skin_entries()
{
    document("audio/audio.sdt");
}

void register_renderer_skin_entries()
{
    document("dxdraw/dxdraw.sdt");
}

void register_check_box_skin_entries()
{
    constant("VF_CHECKED", 16);
    add_skin_startup_task(make_skin_definitions_task("SN_COMMON", StrCache("common").c_str()));
}

}
