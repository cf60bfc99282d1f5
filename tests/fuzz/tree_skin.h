#pragma once

// The skin of the fuzz targets that build one in memory: a tree parsed from the input, and a
// skin service over it.
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"

namespace kq::test {

/// Adds the nodes of the skin text to `root`; false when the text does not parse.
inline bool parse_skin_text(SkinNode& root, const std::string& text)
{
    try {
        StringStream stream(text);
        SkinNode::parse_children(root, stream);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

/// A skin service over one tree, installed while it lives: every definition has one text,
/// no function is defined, documents named by "uses" are not read.
class TreeSkin : public SkinEnvironment
{
public:
    explicit TreeSkin(SkinNode& root) : m_root(root) { set_skin_environment(this); }
    ~TreeSkin() override { set_skin_environment(nullptr); }
    TreeSkin(const TreeSkin&) = delete;
    TreeSkin& operator=(const TreeSkin&) = delete;

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
    const std::string& definition(StrCache) override { return m_definition; }
    void define(StrCache, const std::string&) override {}
    std::string call_function(StrCache name, const std::vector<std::string>&, const SkinPath&) override
    {
        undefined(name);
    }
    bool is_constant_function(StrCache name) override { undefined(name); }
    void use_document(const FilePath&) override {}

private:
    [[noreturn]] static void undefined(StrCache name)
    {
        throw ServiceException("skin", std::string("using undefined function [") + name.c_str() + "]");
    }

    SkinNode& m_root;
    std::string m_definition = "d";
};

}
