#include "engine/res/res_skin_entries.h"

#include "engine/res/skin_functions.h"
#include "engine/res/skin_startup.h"

namespace kq {

void register_res_skin_entries()
{
    add_skin_startup_task(make_skin_document_task("skin/skin.sdt"));
    add_skin_startup_task(make_skin_function_task("or", skin_or, true));
    add_skin_startup_task(make_skin_function_task("cat", skin_cat, true));
    add_skin_startup_task(make_skin_function_task("rand", skin_rand, false));
    add_skin_startup_task(make_skin_function_task("repeat", skin_repeat, true));
    add_skin_startup_task(make_skin_function_task("step", skin_step, false));
}

}
