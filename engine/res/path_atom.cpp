#include "engine/res/path_atom.h"

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"

namespace kq {

SkinPath PathAtom::resolved(const SkinPath& context) const
{
    SkinPath container = context.empty() ? SkinPath() : sub_path(context, 0, context.size() - 1);
    return m_path.resolve(container);
}

void PathAtom::write_text(TStream& stream) const
{
    stream << marker();
    write_path_token(stream, m_path);
}

void PathAtom::read_text(TStream& stream)
{
    stream.expect(marker());
    stream >> m_path;
}

void PathAtom::store(BStream& stream) const
{
    store_atom(stream, m_path);
}

void PathAtom::load(BStream& stream)
{
    load_atom(stream, m_path);
}

}
