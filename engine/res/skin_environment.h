#pragma once

#include <string>
#include <vector>

#include "engine/base/str_cache.h"

namespace kq {

class FilePath;
class SkinNode;
class SkinPath;

/// The name of the skin service, which its errors carry.
inline constexpr const char* skin_service_name = "skin";

/// What skin nodes and value atoms need of the skin service: the merged root, lookups by
/// path, definitions, functions and attaching further documents. The skin service implements
/// it and installs itself with `set_skin_environment` while it lives.
class SkinEnvironment
{
public:
    virtual ~SkinEnvironment() = default;

    /// The root of the merged tree; node paths count from it.
    virtual SkinNode& root() = 0;
    /// The node at an absolute path (through inheritance), or null; with need_value, nodes
    /// without a value are passed over. Only a cyclic inheritance throws.
    virtual SkinNode* try_find_node(const SkinPath& path, bool need_value) = 0;
    /// The evaluated text of the node with a value at the path; throws "node not found [".
    virtual std::string node_text(const SkinPath& path) = 0;
    /// The text of a definition; throws "using undefined definition [".
    virtual const std::string& definition(StrCache name) = 0;
    /// Records a definition; throws "redifinition of name [" for a name already defined.
    virtual void define(StrCache name, const std::string& text) = 0;
    /// Calls a skin function with the argument texts and the path of the node being
    /// evaluated; throws "using undefined function [".
    virtual std::string call_function(StrCache name, const std::vector<std::string>& arguments,
                                      const SkinPath& context) = 0;
    /// Whether calls of the function with constant arguments may be computed once; throws
    /// "using undefined function [".
    virtual bool is_constant_function(StrCache name) = 0;
    /// Loads the skin document at the path and merges it, unless it is attached already.
    virtual void use_document(const FilePath& path) = 0;
};

/// The environment of the running skin service, or null when none runs.
SkinEnvironment* skin_environment();

/// Installs the environment (null removes it); the skin service calls it when it is built
/// and destroyed.
void set_skin_environment(SkinEnvironment* environment);

/// The environment of the running skin service; throws `ServiceException` "skin service not
/// started." when none runs.
SkinEnvironment& require_skin_environment();

}
