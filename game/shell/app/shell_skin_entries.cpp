#include "game/shell/app/shell_skin_entries.h"

#include <string>

#include "engine/res/skin_startup.h"

namespace kq {

void register_shell_skin_entries()
{
    for (const char* name : {"vimocontrols", "game", "dialogs", "items", "vimoes", "field_borders",
                             "stuff", "treasures", "holes", "spirits", "obstacles", "effects",
                             "efpowerup", "efbonus"})
        add_skin_document(std::string("game/") + name + ".sdt");
    for (int chapter = 1; chapter <= 8; ++chapter)
        add_skin_document("game/chapter" + std::to_string(chapter) + ".sdt");
    add_skin_document("game/titleframe.sdt");
    add_skin_document("game/field.sdt");
    // Each of the components that show the panels registers their document; it is attached
    // once all the same.
    add_skin_document("game/panels.sdt");
    add_skin_document("game/panels.sdt");
    add_skin_document("game/progressframe.sdt");
    add_skin_document("game/gameframe.sdt");
    add_skin_document("game/panels.sdt");
    add_skin_document("game/panels.sdt");
    add_skin_constant("EGVF_ANYKEY", 4096);
}

}
