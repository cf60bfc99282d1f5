// The binary form of skin nodes, which binary copies of skin documents hold.

#include "engine/base/bstream.h"
#include "engine/res/skin_nesting.h"
#include "engine/res/skin_node.h"

namespace kq {

namespace {

// Smallest stored sizes, to check counts against what is left: a child is a name id and an
// object id, a path its name count, a directive its length.
constexpr std::uint32_t child_size = 8;
constexpr std::uint32_t parent_size = 4;
constexpr std::uint32_t directive_size = 4;

}

void SkinNode::store(BStream& stream) const
{
    write_u8(stream, 0);
    SharedObject::store(stream);
    m_value.store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_children.size()));
    for (const Child& child : m_children) {
        write_binary(stream, child.name);
        stream.write_shared(child.node);
    }
    write_u32(stream, static_cast<std::uint32_t>(m_parents.size()));
    for (const SkinPath& parent : m_parents)
        write_binary(stream, parent);
    write_u32(stream, static_cast<std::uint32_t>(m_directives.size()));
    for (const std::string& directive : m_directives)
        write_binary(stream, directive);
    write_binary(stream, m_ids);
}

void SkinNode::load(BStream& stream)
{
    SkinNesting nesting(stream, 1);
    clear();
    read_u8(stream);
    SharedObject::load(stream);
    m_value.load(stream);
    const std::uint32_t children = read_count(stream, child_size);
    m_children.reserve(children);
    for (std::uint32_t count = children; count > 0; --count) {
        StrCache name = stream.read_name();
        SharedPtr<SkinNode> node;
        stream.read_shared(node);
        // A tree holds each of its nodes once (a node met before would share a branch), and a
        // node's handle shares the node's own block (so that one block owns it).
        if (!node || node.counter()->m_use_count != 1 || node.counter() != node->counter())
            stream.error("Invalid child node.");
        add_child(name, node);
    }
    m_parents.resize(read_count(stream, parent_size));
    for (SkinPath& parent : m_parents)
        read_binary(stream, parent);
    m_directives.resize(read_count(stream, directive_size));
    for (std::string& directive : m_directives)
        read_binary(stream, directive);
    read_binary(stream, m_ids);
}

}
