#include "engine/res/variable_atom.h"

#include "engine/base/exception.h"
#include "engine/res/recursion_guard.h"
#include "engine/res/skin_environment.h"

namespace kq {

namespace {

// Paths whose values are being evaluated through variables, innermost last.
std::set<SkinPath> g_evaluating;

}

std::string VariableAtom::evaluate(const SkinPath& context)
{
    SkinPath target = resolved(context);
    RecursionGuard<SkinPath> guard(g_evaluating, target);
    if (!guard.entered())
        KQ_THROW(ServiceException, skin_service_name, "cyclic reference to node [" + target.text() + "]");
    return require_skin_environment().node_text(target);
}

}
