#include "engine/res/skin_document.h"

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_node.h"

namespace kq {

void SkinDocument::resolve()
{
    if (m_root)
        m_root->run_directives();
}

void SkinDocument::write_text(TStream& stream) const
{
    if (m_root)
        SkinNode::write_children(*m_root, stream);
}

void SkinDocument::read_text(TStream& stream)
{
    m_root = SharedPtr<SkinNode>(new SkinNode);
    SkinNode::parse_children(*m_root, stream);
    if (!stream.is_eof())
        stream.error("spare data in skin document.");
}

void SkinDocument::store(BStream& stream) const
{
    stream.write_shared(m_root);
}

void SkinDocument::load(BStream& stream)
{
    stream.read_shared(m_root);
    if (!m_root)
        stream.error("skin document without root node.");
}

}
