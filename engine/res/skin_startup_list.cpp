// The start-up registrations of every component that reads skin documents, in the order in
// which the skin service attaches, defines and registers them: a document may use the
// constants and functions registered before it.
#include "engine/res/skin_startup.h"

#include "engine/base/str_cache.h"

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

void function(const char* name, SkinFunction call, bool constant)
{
    add_skin_startup_task(make_skin_function_task(name, std::move(call), constant));
}

}

void register_skin_startup_list()
{
    document("ui/ui.sdt");
    document("ui/controls.sdt");
    constant("VF_NONE", 0);
    constant("VF_DISABLED", 1);
    constant("VF_POINTED", 2);
    constant("VF_PRESSED", 4);
    constant("VF_FOCUSED", 8);
    constant("IF_CONTROL", 104);
    document("window/window.sdt");
    document("skin/skin.sdt");
    function("or", skin_or, true);
    function("cat", skin_cat, true);
    function("rand", skin_rand, false);
    function("repeat", skin_repeat, true);
    function("step", skin_step, false);
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
    document("audio/audio.sdt");
    document("game/vimocontrols.sdt");
    document("game/game.sdt");
    document("game/dialogs.sdt");
    document("game/items.sdt");
    document("game/vimoes.sdt");
    document("game/field_borders.sdt");
    document("game/stuff.sdt");
    document("game/treasures.sdt");
    document("game/holes.sdt");
    document("game/spirits.sdt");
    document("game/obstacles.sdt");
    document("game/effects.sdt");
    document("game/efpowerup.sdt");
    document("game/efbonus.sdt");
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
    document("dxdraw/dxdraw.sdt");
    constant("VF_CHECKED", 16);
    add_skin_startup_task(make_skin_definitions_task("SN_COMMON", StrCache("common").c_str()));
}

}
