#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/base/service.h"
#include "engine/base/single_instance.h"
#include "engine/base/str_cache.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin_document.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_functions.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_path.h"

namespace kq {

/// The skin service "skin": every skin document merged into one tree of nodes, with the
/// definitions and functions that node values use, answering lookups by path.
class Skin : public Service, public SkinEnvironment, public SingleInstance<Skin>
{
public:
    /// An empty tree; becomes the process's skin service.
    Skin();
    ~Skin() override;

    /// The running skin service; throws `ServiceException` "skin service not started." when
    /// none runs.
    static Skin& running();

    /// Registers the skin document and dictionary loaders, adds "data/skin/" to the search
    /// paths and runs the start-up tasks in their order.
    void initialize() override;
    /// Stores the documents marked for it, then drops every dictionary and skin document.
    void shutdown() override;

    /// Loads the document and merges it into the tree, unless it is attached already; logs
    /// "Attaching <name>" and "End <name>" around the merge.
    void attach_document(const ResHandle<SkinDocument>& handle);
    /// Attaches the skin document at the path.
    void use_document(const FilePath& path) override;
    /// The documents attached, in order.
    const std::vector<ResHandle<SkinDocument>>& documents() const { return m_documents; }

    /// Records a definition; throws "redifinition of name [<name>]" when it exists.
    void define(StrCache name, const std::string& text) override;
    /// The text of a definition; throws "using undefined definition [<name>]".
    const std::string& definition(StrCache name) override;

    /// Sets (or replaces) the function of a name; `constant` when calls with constant
    /// arguments may be computed once.
    void register_function(StrCache name, SkinFunction function, bool constant);
    /// The function's result; throws "using undefined function [<name>]".
    std::string call_function(StrCache name, const std::vector<std::string>& arguments,
                              const SkinPath& context) override;
    /// Whether the function is constant; throws "using undefined function [<name>]".
    bool is_constant_function(StrCache name) override;

    /// The merged root.
    SkinNode& root() override { return m_root; }
    /// The node at the path or null; only a cyclic inheritance throws. Without need_value,
    /// found nodes are cached for good: the cache is never cleared while the service lives,
    /// so a document attached later does not change a path found before (need_value walks
    /// afresh). Nodes not found are not cached.
    SkinNode* try_find_node(const SkinPath& path, bool need_value) override;
    /// Whether a node is found at the path.
    bool has_node(const SkinPath& path, bool need_value) { return try_find_node(path, need_value) != nullptr; }
    /// The evaluated text of the node with a value at the path; throws "node not found [<path>]".
    std::string node_text(const SkinPath& path) override;
    /// Replaces `out` by the names of the children at the path, own and inherited, each once;
    /// a non-empty id lists only the children carrying it.
    void enum_ids(const SkinPath& path, std::vector<StrCache>& out, const std::string& id);

private:
    struct Function
    {
        SkinFunction call;
        bool constant;
    };

    const Function& function(StrCache name) const;

    SkinNode m_root;
    std::vector<ResHandle<SkinDocument>> m_documents;
    std::map<StrCache, std::string> m_definitions;
    std::map<StrCache, Function> m_functions;
    std::map<SkinPath, SkinNode*> m_node_cache;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

/// The evaluated text of the node with a value at the path, through the running skin
/// service; throws "node not found [<path>]".
std::string get_skin_text(const SkinPath& path);

/// Starts the "skin" service; needs the Mainframe and the "res" service.
void start_skin_service();
/// Stops the "skin" service.
void stop_skin_service();

}
