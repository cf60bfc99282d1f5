#include "engine/ui/ui_types.h"

#include "engine/base/class_desc.h"
#include "engine/base/enum_desc.h"
#include "engine/res/skin_startup.h"
#include "engine/ui/button.h"
#include "engine/ui/check_box.h"
#include "engine/ui/clip_box.h"
#include "engine/ui/console_dialog.h"
#include "engine/ui/control.h"
#include "engine/ui/debug_dialog.h"
#include "engine/ui/edit_box.h"
#include "engine/ui/list_box.h"
#include "engine/ui/share_box.h"
#include "engine/ui/slider.h"
#include "engine/ui/ui_enums.h"

namespace kq {

namespace {

void register_enums()
{
    rtti::EnumBase& x_snap = rtti::EnumDesc<XSnap>::instance();
    x_snap.add("left", 0);
    x_snap.add("center", 1);
    x_snap.add("right", 2);
    x_snap.add("prev_brother", 3);

    rtti::EnumBase& y_snap = rtti::EnumDesc<YSnap>::instance();
    y_snap.add("top", 0);
    y_snap.add("center", 1);
    y_snap.add("bottom", 2);
    y_snap.add("prev_brother", 3);

    rtti::EnumBase& s_snap = rtti::EnumDesc<SSnap>::instance();
    s_snap.add("absolute", 0);
    s_snap.add("relative", 1);

    rtti::EnumBase& z_snap = rtti::EnumDesc<ZSnap>::instance();
    z_snap.add("bottom", 0);
    z_snap.add("normal", 1);
    z_snap.add("top", 2);
    z_snap.add("topmost", 3);

    rtti::EnumBase& transparency = rtti::EnumDesc<Control::Transparency>::instance();
    transparency.add("none", 0);
    transparency.add("self", 16);
    transparency.add("childs", 32);
    transparency.add("full", 48);

    rtti::EnumBase& formation = rtti::EnumDesc<ControlListFormation>::instance();
    formation.add("left", 0);
    formation.add("right", 1);
    formation.add("top", 2);
    formation.add("bottom", 3);

    rtti::EnumBase& direction = rtti::EnumDesc<SliderDirection>::instance();
    direction.add("horizontal", 0);
    direction.add("vertical", 1);

    rtti::EnumBase& style = rtti::EnumDesc<MenuStyle>::instance();
    style.add("horizontal", 0);
    style.add("vertical", 1);
}

}

void register_ui_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    register_enums();
    rtti::ClassDesc<Control>::instance();
    rtti::ClassDesc<Button>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<EditBox>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<Slider>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<ShareBox>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<ClipBox>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<ListBox>::instance().add_base(type_name<ClipBox>());
    rtti::ClassDesc<DebugDialog>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<ConsoleDialog>::instance().add_base(type_name<Control>());
    rtti::ClassDesc<CheckBox>::instance().add_base(type_name<Control>());
}

void register_ui_skin_entries()
{
    add_skin_document("ui/ui.sdt");
    add_skin_document("ui/controls.sdt");
    add_skin_constant("VF_NONE", VF_NONE);
    add_skin_constant("VF_DISABLED", VF_DISABLED);
    add_skin_constant("VF_POINTED", VF_POINTED);
    add_skin_constant("VF_PRESSED", VF_PRESSED);
    add_skin_constant("VF_FOCUSED", VF_FOCUSED);
    add_skin_constant("IF_CONTROL", IF_CONTROL);
}

void register_check_box_skin_entries()
{
    add_skin_constant("VF_CHECKED", VF_CHECKED);
    add_skin_startup_task(make_skin_definitions_task("SN_COMMON", "common"));
}

}
