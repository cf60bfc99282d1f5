#include "engine/res/skin_registration.h"

#include "engine/base/class_desc.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/skin_node.h"
#include "engine/res/variable_atom.h"

namespace kq {

void register_skin_types()
{
    rtti::ClassDesc<SkinNode>::instance();
    rtti::ClassDesc<ConstantAtom>::instance();
    rtti::ClassDesc<VariableAtom>::instance();
    rtti::ClassDesc<RefAtom>::instance();
    rtti::ClassDesc<FuncAtom>::instance();
    rtti::ClassDesc<DefAtom>::instance();
}

}
