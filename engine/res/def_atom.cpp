#include "engine/res/def_atom.h"

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_token.h"

namespace kq {

std::string DefAtom::evaluate(const SkinPath&)
{
    return require_skin_environment().definition(m_name);
}

void DefAtom::write_text(TStream& stream) const
{
    stream << "#" << m_name;
}

void DefAtom::read_text(TStream& stream)
{
    stream.expect("#");
    m_name = read_name_token(stream);
}

void DefAtom::store(BStream& stream) const
{
    store_atom(stream, m_name);
}

void DefAtom::load(BStream& stream)
{
    load_atom(stream, m_name);
}

}
