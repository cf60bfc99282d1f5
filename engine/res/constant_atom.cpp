#include "engine/res/constant_atom.h"

#include <string_view>

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_token.h"

namespace kq {

namespace {

// A text that reads as one of these symbols would start another atom, the id list, a parent
// clause or a block, or close an argument list, unless "!" stands before it.
bool reads_as_marker(const std::string& text)
{
    return text.size() == 1 && std::string_view("!=*&#:{}()<>").find(text[0]) != std::string_view::npos;
}

}

std::string ConstantAtom::evaluate(const SkinPath&)
{
    return m_text;
}

void ConstantAtom::write_text(TStream& stream) const
{
    if (reads_as_marker(m_text))
        stream << "! ";
    write_text_token(stream, m_text);
}

void ConstantAtom::read_text(TStream& stream)
{
    if (stream.token_is("!"))
        stream.skip_token();
    m_text = stream.read_token();
}

void ConstantAtom::store(BStream& stream) const
{
    store_atom(stream, m_text);
}

void ConstantAtom::load(BStream& stream)
{
    load_atom(stream, m_text);
}

}
