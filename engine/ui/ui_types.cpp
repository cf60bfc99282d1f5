#include "engine/ui/ui_types.h"

#include "engine/base/class_desc.h"
#include "engine/base/register_enum.h"
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
    rtti::register_enum<XSnap>({{"left", XSnap::left},
                                {"center", XSnap::center},
                                {"right", XSnap::right},
                                {"prev_brother", XSnap::prev_brother}});
    rtti::register_enum<YSnap>({{"top", YSnap::top},
                                {"center", YSnap::center},
                                {"bottom", YSnap::bottom},
                                {"prev_brother", YSnap::prev_brother}});
    rtti::register_enum<SSnap>({{"absolute", SSnap::absolute}, {"relative", SSnap::relative}});
    rtti::register_enum<ZSnap>(
        {{"bottom", ZSnap::bottom}, {"normal", ZSnap::normal}, {"top", ZSnap::top}, {"topmost", ZSnap::topmost}});
    using Transparency = Control::Transparency;
    rtti::register_enum<Transparency>({{"none", Transparency::none},
                                       {"self", Transparency::self},
                                       {"childs", Transparency::childs},
                                       {"full", Transparency::full}});
    using Formation = ControlListFormation;
    rtti::register_enum<Formation>({{"left", Formation::left},
                                    {"right", Formation::right},
                                    {"top", Formation::top},
                                    {"bottom", Formation::bottom}});
    using Direction = SliderDirection;
    rtti::register_enum<Direction>({{"horizontal", Direction::horizontal}, {"vertical", Direction::vertical}});
    rtti::register_enum<MenuStyle>({{"horizontal", MenuStyle::horizontal}, {"vertical", MenuStyle::vertical}});
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
