#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"

namespace kq::test {

/// A skin environment over a tree parsed from text, with its own definitions and functions;
/// installed for its lifetime.
class TestSkinEnvironment : public SkinEnvironment
{
public:
    using Function = std::function<std::string(const std::vector<std::string>&, const SkinPath&)>;

    /// An environment whose root holds the document `text`.
    explicit TestSkinEnvironment(const std::string& text = "")
    {
        StringStream stream(text);
        SkinNode::parse_children(m_root, stream);
        set_skin_environment(this);
    }
    ~TestSkinEnvironment() override { set_skin_environment(nullptr); }

    SkinNode& root() override { return m_root; }
    SkinNode* try_find_node(const SkinPath& path, bool need_value) override
    {
        return SkinNode::find(need_value, path, m_root);
    }
    std::string node_text(const SkinPath& path) override
    {
        SkinNode* node = try_find_node(path, true);
        if (!node)
            throw ServiceException("skin", "node not found [" + path.text() + "]");
        return node->value().evaluate(path);
    }
    const std::string& definition(StrCache name) override
    {
        auto found = m_definitions.find(name);
        if (found == m_definitions.end())
            throw ServiceException("skin", std::string("using undefined definition [") + name.c_str() + "]");
        return found->second;
    }
    void define(StrCache name, const std::string& text) override { m_definitions[name] = text; }
    std::string call_function(StrCache name, const std::vector<std::string>& arguments,
                              const SkinPath& context) override
    {
        ++m_calls;
        return function(name).first(arguments, context);
    }
    bool is_constant_function(StrCache name) override { return function(name).second; }
    void use_document(const FilePath& path) override { m_used.push_back(path.str()); }

    /// Registers a function.
    void add_function(const char* name, Function function, bool constant)
    {
        m_functions[StrCache(name)] = {std::move(function), constant};
    }
    /// The evaluated text at a path.
    std::string text(const char* path) { return node_text(SkinPath(path)); }

    /// Number of function calls made.
    int calls() const { return m_calls; }
    /// Documents asked for by "uses", in order.
    const std::vector<std::string>& used() const { return m_used; }

private:
    const std::pair<Function, bool>& function(StrCache name)
    {
        auto found = m_functions.find(name);
        if (found == m_functions.end())
            throw ServiceException("skin", std::string("using undefined function [") + name.c_str() + "]");
        return found->second;
    }

    SkinNode m_root;
    std::map<StrCache, std::string> m_definitions;
    std::map<StrCache, std::pair<Function, bool>> m_functions;
    std::vector<std::string> m_used;
    int m_calls = 0;
};

}
