#include "engine/res/ref_atom.h"

namespace kq {

std::string RefAtom::evaluate(const SkinPath& context)
{
    return resolved(context).text();
}

}
