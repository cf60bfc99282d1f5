#include "engine/res/skin_node.h"

#include <algorithm>
#include <tuple>

#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/string_stream.h"
#include "engine/res/recursion_guard.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_token.h"

namespace kq {

namespace {

// Children a node scans before it keeps an index of their names.
constexpr std::size_t indexed_child_count = 8;

// A parents step: the walk's functor, the node, the path and the depth reached. The same
// step met again inside itself would repeat forever.
using WalkStep = std::tuple<const SkinNodeFunctor*, const SkinNode*, SkinPath, unsigned>;
std::set<WalkStep> g_active_steps;
// Paths that parents steps are looking up; a lookup that needs itself never ends.
std::set<SkinPath> g_active_lookups;

[[noreturn]] void throw_cyclic_inheritance(const SkinPath& path, unsigned depth)
{
    KQ_THROW(ServiceException, skin_service_name,
             "cyclic inheritance at node [" + sub_path(path, 0, depth).text() + "]");
}

void log_invalid_inheritance(const SkinPath& path, unsigned depth, const SkinPath& parent,
                             const SkinPath& resolved)
{
    StringStream message;
    message << "Invalid inheritance." << t_io::endl << "Node path: " << sub_path(path, 0, depth) << t_io::endl
            << "Parent path: " << parent << t_io::endl << "Result path: " << resolved << t_io::endl;
    log_error(message.str().c_str(), source_file_name(__FILE__), __LINE__);
}

// The node that a parent path resolved to, looked up from the skin root; null (and logged)
// when there is none.
SkinNode* find_parent_node(const SkinPath& path, unsigned depth, const SkinPath& parent, const SkinPath& resolved)
{
    RecursionGuard<SkinPath> lookup(g_active_lookups, resolved);
    if (!lookup.entered())
        throw_cyclic_inheritance(path, depth);
    SkinNode* found = require_skin_environment().try_find_node(resolved, false);
    if (!found)
        log_invalid_inheritance(path, depth, parent, resolved);
    return found;
}

bool find_path(const SkinNode& from, const SkinNode& target, SkinPath& path)
{
    if (&from == &target)
        return true;
    for (const SkinNode::Child& child : from.children()) {
        path.insert(path.size(), child.name);
        if (find_path(*child.node, target, path))
            return true;
        path.resize(path.size() - 1);
    }
    return false;
}

}

bool FindNodeFunctor::operator()(SkinNode& node)
{
    if (m_need_value && !node.value().has_value())
        return false;
    m_result = &node;
    return true;
}

bool EnumIDsFunctor::operator()(SkinNode& node)
{
    for (const SkinNode::Child& child : node.children()) {
        if (m_filter && !child.node->ids().contains(m_id))
            continue;
        if (m_seen.insert(child.name).second)
            m_out.push_back(child.name);
    }
    return false;
}

void SkinNode::add_child(StrCache name, const SharedPtr<SkinNode>& node)
{
    m_children.push_back({name, node});
    if (!m_child_index.empty())
        m_child_index.add(name, static_cast<std::uint32_t>(m_children.size() - 1));
}

SkinNode* SkinNode::find_child(StrCache name) const
{
    if (m_children.size() <= indexed_child_count) {
        for (const Child& child : m_children) {
            if (child.name == name)
                return child.node.get();
        }
        return nullptr;
    }
    if (m_child_index.empty()) {
        for (std::size_t i = 0; i < m_children.size(); ++i)
            m_child_index.add(m_children[i].name, static_cast<std::uint32_t>(i));
    }
    const std::uint32_t found = m_child_index.find(name);
    return found == NameIndex::none ? nullptr : m_children[found].node.get();
}

void SkinNode::merge(const SkinNode& source)
{
    if (source.m_value.has_value()) {
        if (m_value.has_value())
            KQ_THROW(ServiceException, skin_service_name, "double value in node " + node_path(*this).text());
        m_value.set_atom(source.m_value.atom());
    }
    m_parents.insert(m_parents.end(), source.m_parents.begin(), source.m_parents.end());
    m_ids.insert(source.m_ids.begin(), source.m_ids.end());
    // By index: the source may share this node's children, whose list grows meanwhile.
    for (std::size_t i = 0; i < source.m_children.size(); ++i) {
        const Child child = source.m_children[i];
        if (SkinNode* own = find_child(child.name))
            own->merge(*child.node);
        else
            add_child(child.name, child.node);
    }
}

void SkinNode::run_directive(const std::string& text)
{
    StringStream stream(text);
    if (stream.token_is("uses")) {
        stream.skip_token();
        FilePath path;
        stream >> path;
        require_skin_environment().use_document(path);
    } else if (stream.token_is("define")) {
        stream.skip_token();
        StrCache name = read_name_token(stream);
        require_skin_environment().define(name, stream.read_token());
    } else {
        StringStream quoted;
        quoted << text;
        KQ_THROW(ServiceException, skin_service_name, "unknown directive " + quoted.str());
    }
}

void SkinNode::run_directives()
{
    for (const std::string& directive : m_directives)
        run_directive(directive);
    for (Child& child : m_children)
        child.node->run_directives();
}

bool SkinNode::walk(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth)
{
    if (functor.parents_first())
        return walk_parents(path, functor, depth) || walk_children(path, functor, depth);
    return walk_children(path, functor, depth) || walk_parents(path, functor, depth);
}

bool SkinNode::walk_children(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth)
{
    if (depth == path.size())
        return functor(*this);
    SkinNode* child = find_child(path[depth]);
    return child && child->walk(path, functor, depth + 1);
}

bool SkinNode::walk_parents(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth)
{
    if (m_parents.empty())
        return false;
    // Where inheritance routes meet (n : a : b, with a and b inheriting from one node), the
    // same step would be walked again, with the same outcome, once per route: exponentially
    // often in a chain of such meetings.
    SkinNodeFunctor::ParentsStep place{this, path, depth};
    if (functor.m_failed_parents_steps.contains(place))
        return false;
    RecursionGuard<WalkStep> step(g_active_steps, {&functor, this, path, depth});
    if (!step.entered())
        throw_cyclic_inheritance(path, depth);
    SkinPath base = depth > 0 ? sub_path(path, 0, depth - 1) : SkinPath();
    SkinPath rest = sub_path(path, depth, path.size() - depth);
    for (const SkinPath& parent : m_parents) {
        SkinPath resolved = parent.resolve(base);
        SkinNode* found = find_parent_node(path, depth, parent, resolved);
        if (found && found->walk(resolved + rest, functor, static_cast<unsigned>(resolved.size())))
            return true;
    }
    functor.m_failed_parents_steps.insert(std::move(place));
    return false;
}

SkinNode* SkinNode::find(bool need_value, const SkinPath& path, SkinNode& start)
{
    FindNodeFunctor functor(need_value);
    start.walk(path, functor, 0);
    return functor.result();
}

void SkinNode::enum_ids(SkinNode& start, const SkinPath& path, std::vector<StrCache>& out, const std::string& id)
{
    EnumIDsFunctor functor(out, StrCache(id.c_str()));
    start.walk(path, functor, 0);
}

void SkinNode::clear()
{
    m_value.reset();
    m_children.clear();
    m_child_index.clear();
    m_parents.clear();
    m_directives.clear();
    m_ids.clear();
}

SkinPath node_path(const SkinNode& node)
{
    SkinPath path;
    SkinEnvironment* environment = skin_environment();
    if (environment && find_path(environment->root(), node, path))
        return path;
    path.resize(0);
    path.insert(0, StrCache("unattached node"));
    return path;
}

}
