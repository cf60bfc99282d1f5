// The text syntax of skin nodes: entries, node bodies and directives.

#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_nesting.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_token.h"

namespace kq {

namespace {

// A child entry's names: a fresh unique name for an anonymous child, else a name path.
SkinPath read_entry_names(TStream& stream)
{
    SkinPath names;
    if (stream.token_is("<"))
        names.insert(0, StrCache::make_unique());
    else
        stream >> names;
    if (names.empty())
        stream.error("invalid node name.");
    return names;
}

[[noreturn]] void fail_already_present(TStream& stream, StrCache name)
{
    StringStream quoted;
    quoted << std::string(name.c_str());
    stream.error("node " + quoted.str() + " already present.");
}

// A name with no characters reads back only as the one-name relative path ".".
void write_child_name(TStream& stream, StrCache name)
{
    stream << (name.empty() ? "." : name.c_str()) << " ";
}

}

void SkinNode::parse_children(SkinNode& node, TStream& stream)
{
    while (!stream.is_eof() && !stream.token_is("}")) {
        if (stream.token_is("#")) {
            stream.skip_token();
            node.m_directives.push_back(stream.read_token());
            continue;
        }
        SkinPath names = read_entry_names(stream);
        SkinNesting nesting(stream, static_cast<unsigned>(names.size()));
        SkinNode* current = &node;
        for (StrCache name : names) {
            if (current->find_child(name))
                fail_already_present(stream, name);
            SharedPtr<SkinNode> child(new SkinNode);
            current->add_child(name, child);
            current = child.get();
        }
        current->read_text(stream);
    }
}

void SkinNode::read_text(TStream& stream)
{
    clear();
    if (stream.token_is("<")) {
        stream.skip_token();
        while (!stream.is_eof() && !stream.token_is(">")) {
            m_ids.insert(read_name_token(stream));
        }
        stream.expect(">");
    }
    m_value.read_text(stream);
    while (stream.token_is(":")) {
        stream.skip_token();
        SkinPath parent;
        stream >> parent;
        m_parents.push_back(parent);
    }
    if (stream.token_is("{")) {
        stream.skip_token();
        parse_children(*this, stream);
        stream.expect("}");
    }
}

void SkinNode::write_children(const SkinNode& node, TStream& stream)
{
    for (const std::string& directive : node.m_directives) {
        stream << "#";
        write_text_token(stream, directive);
        stream << t_io::endl;
    }
    if (!node.m_directives.empty())
        stream << t_io::endl;
    for (const Child& child : node.m_children) {
        bool anonymous = child.name.is_unique();
        if (!anonymous)
            write_child_name(stream, child.name);
        child.node->write_body(stream, anonymous);
        stream << t_io::endl;
    }
}

void SkinNode::write_text(TStream& stream) const
{
    write_body(stream, false);
}

void SkinNode::write_body(TStream& stream, bool anonymous) const
{
    // An anonymous child is known by its id list, even an empty one.
    if (anonymous || !m_ids.empty()) {
        stream << "<";
        const char* separator = "";
        for (StrCache id : m_ids) {
            stream << separator << id;
            separator = " ";
        }
        stream << ">";
    }
    m_value.write_text(stream);
    for (const SkinPath& parent : m_parents) {
        stream << ": ";
        write_path_token(stream, parent);
    }
    // Directives live in the block as well, so a node with directives keeps its block.
    if (!m_children.empty() || !m_directives.empty()) {
        stream << t_io::endl << t_io::open_brace << t_io::endl << t_io::push_tab;
        write_children(*this, stream);
        stream << t_io::pop_tab << t_io::close_brace;
    } else if (!m_value.has_value()) {
        stream << t_io::endl << t_io::open_brace << t_io::endl << t_io::close_brace;
    }
}

}
