#include "engine/res/def_atom.h"

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_environment.h"

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
    stream >> m_name;
}

void DefAtom::store(BStream& stream) const
{
    write_u8(stream, 0);
    write_binary(stream, m_name);
}

void DefAtom::load(BStream& stream)
{
    read_u8(stream);
    read_binary(stream, m_name);
}

}
