#pragma once

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/base/binary_io.h"
#include "engine/base/shared_object.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"
#include "engine/base/text_io.h"
#include "engine/base/type_name.h"
#include "engine/res/name_index.h"
#include "engine/res/node_value.h"
#include "engine/res/skin_path.h"

namespace kq {

class SkinNode;

/// A visitor of the nodes that a walk reaches. A visit that does not stop the walk must leave
/// nothing that a second visit of the same node would add to (the walk skips places it has
/// been through without success).
class SkinNodeFunctor
{
public:
    virtual ~SkinNodeFunctor() = default;
    /// Visits a node; true stops the walk and makes it succeed.
    virtual bool operator()(SkinNode& node) = 0;
    /// Whether each walk step tries the inheritance parents before the node's own children.
    virtual bool parents_first() const = 0;

private:
    friend class SkinNode;

    // A parents step of a walk: the node, the path and the depth reached.
    using ParentsStep = std::tuple<const SkinNode*, SkinPath, unsigned>;
    // The parents steps of this functor's walk that failed.
    std::set<ParentsStep> m_failed_parents_steps;
};

/// Finds the node at the path, own children first; with `need_value`, passes over nodes
/// without a value (so such a node takes the value of its first parent that has one).
class FindNodeFunctor : public SkinNodeFunctor
{
public:
    /// A finder, with or without the need for a value.
    explicit FindNodeFunctor(bool need_value) : m_need_value(need_value) {}

    /// Keeps the node unless it lacks a needed value.
    bool operator()(SkinNode& node) override;
    /// False.
    bool parents_first() const override { return false; }

    /// The node found, or null.
    SkinNode* result() const { return m_result; }

private:
    SkinNode* m_result = nullptr;
    bool m_need_value;
};

/// Lists the names of the children of the node at the path, inherited ones first, each
/// once; with a non-empty id, only children carrying that id.
class EnumIDsFunctor : public SkinNodeFunctor
{
public:
    /// Appends the names to `out`; the empty `id` lists every child.
    EnumIDsFunctor(std::vector<StrCache>& out, StrCache id) : m_out(out), m_id(id), m_filter(!id.empty()) {}

    /// Appends the names of the node's children not met before; false, to visit every node.
    bool operator()(SkinNode& node) override;
    /// True.
    bool parents_first() const override { return true; }

private:
    std::set<StrCache> m_seen;
    std::vector<StrCache>& m_out;
    StrCache m_id;
    bool m_filter;
};

/// A node of a skin tree: an optional value, named children in the order written,
/// inheritance parents, directives run once its document is attached, and ids that filter
/// child listings.
class SkinNode : public SharedObject, public TextIO
{
public:
    /// A named child; one node object may be the child of several trees.
    struct Child
    {
        StrCache name;
        SharedPtr<SkinNode> node;
    };

    /// An empty node.
    SkinNode() = default;
    /// A node sharing the value atom and the child nodes, with copies of the parents,
    /// directives and ids.
    SkinNode(const SkinNode& other) = default;

    /// The value.
    NodeValue& value() { return m_value; }
    const NodeValue& value() const { return m_value; }
    /// The children in order.
    const std::vector<Child>& children() const { return m_children; }
    /// The inheritance parents in the order written (absolute or relative).
    const std::vector<SkinPath>& parents() const { return m_parents; }
    std::vector<SkinPath>& parents() { return m_parents; }
    /// The directive texts in order.
    const std::vector<std::string>& directives() const { return m_directives; }
    std::vector<std::string>& directives() { return m_directives; }
    /// The ids given between "<" and ">".
    const std::set<StrCache>& ids() const { return m_ids; }
    std::set<StrCache>& ids() { return m_ids; }

    /// Appends a child entry sharing the node.
    void add_child(StrCache name, const SharedPtr<SkinNode>& node);
    /// The first child of that name, or null; in constant time however many children there are.
    SkinNode* find_child(StrCache name) const;

    /// Merges the source tree into this node: the value (a second value fails with
    /// "double value in node <path>"), parents and ids are added, children of the same name
    /// merge, other children are shared.
    void merge(const SkinNode& source);

    /// Runs one directive: "uses" a document or "define"s a name; anything else fails with
    /// "unknown directive " + the quoted text.
    virtual void run_directive(const std::string& text);
    /// Runs the node's directives, then those of each child, depth first.
    void run_directives();

    /// Walks the path from this node, reached by its first `depth` names, through own
    /// children and inheritance parents; true when a visit stopped the walk. A parent chain
    /// that comes back to itself fails with "cyclic inheritance at node [<path>]".
    bool walk(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth);
    /// The node at the path from `start` (passing over nodes without a value when
    /// `need_value`), or null.
    static SkinNode* find(bool need_value, const SkinPath& path, SkinNode& start);
    /// Appends to `out` the names of the children of the node at the path from `start`, own
    /// and inherited, each once; a non-empty id lists only children carrying it.
    static void enum_ids(SkinNode& start, const SkinPath& path, std::vector<StrCache>& out, const std::string& id);

    /// Reads child entries and directives into `node` up to "}" or the end of input.
    static void parse_children(SkinNode& node, TStream& stream);
    /// Writes the node's directives and child entries so that `parse_children` reads them back.
    static void write_children(const SkinNode& node, TStream& stream);
    /// Writes the node body: ids, value, parents and the block of entries.
    void write_text(TStream& stream) const override;
    /// Replaces the node by the body read at the stream's position.
    void read_text(TStream& stream) override;

    /// Writes the binary form: identity, value, children, parents, directives, ids.
    void store(BStream& stream) const override;
    /// Replaces the node by the binary form read; a child that is null or met before in the
    /// stream fails with "Invalid child node.".
    void load(BStream& stream) override;

private:
    bool walk_children(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth);
    bool walk_parents(const SkinPath& path, SkinNodeFunctor& functor, unsigned depth);
    void write_body(TStream& stream, bool anonymous) const;
    void clear();

    NodeValue m_value;
    std::vector<Child> m_children;
    // Where each name's first entry is; made for nodes with many children at their first
    // look-up (a scan would make reading and merging a large tree quadratic), and kept up to
    // date from then on. A tree read from its binary form is never searched while it is read.
    mutable NameIndex m_child_index;
    std::vector<SkinPath> m_parents;
    std::vector<std::string> m_directives;
    std::set<StrCache> m_ids;
};

/// The path of the node from the skin root; the one name "unattached node" when the node is
/// not under it (or no skin service runs).
SkinPath node_path(const SkinNode& node);

}

KQ_TYPE_NAME(kq::SkinNode, "class kq::SkinNode");
