#include "engine/res/res_types.h"

#include "engine/base/class_desc.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/res_handle_base.h"
#include "engine/res/skin_node.h"
#include "engine/res/variable_atom.h"

namespace kq {

void register_res_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    rtti::AbstractClassDesc<ResHandleBase>::instance();

    rtti::ClassDesc<SkinNode>::instance();
    rtti::ClassDesc<ConstantAtom>::instance();
    rtti::ClassDesc<VariableAtom>::instance();
    rtti::ClassDesc<RefAtom>::instance();
    rtti::ClassDesc<FuncAtom>::instance();
    rtti::ClassDesc<DefAtom>::instance();
}

}
