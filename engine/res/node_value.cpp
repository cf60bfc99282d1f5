#include "engine/res/node_value.h"

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"

namespace kq {

std::string NodeValue::evaluate(const SkinPath& context)
{
    if (!m_atom)
        return {};
    return evaluate_folding(m_atom, context);
}

void NodeValue::write_text(TStream& stream) const
{
    if (m_atom)
        m_atom->write_text(stream);
}

void NodeValue::read_text(TStream& stream)
{
    m_atom = parse_atom(stream);
}

void NodeValue::store(BStream& stream) const
{
    store_atom(stream, m_atom);
}

void NodeValue::load(BStream& stream)
{
    load_atom(stream, m_atom);
}

}
