// Reads arbitrary bytes as a skin document, in its text form and as a binary copy, and reads
// the values of the text document's nodes through inheritance and references. Format and
// lookup errors are expected exceptions; a crash, a hang or a sanitizer report is a fault,
// and so is a text document that does not read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/base/base_types.h"
#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/string_stream.h"
#include "engine/res/res_types.h"
#include "engine/res/skin_node.h"
#include "tests/fuzz/tree_skin.h"

namespace {

// Reads the value and lists the children of each node of the first two levels.
void read_values(kq::SkinNode& root)
{
    kq::test::TreeSkin skin(root);
    std::vector<kq::SkinPath> paths;
    for (const kq::SkinNode::Child& child : root.children()) {
        const kq::SkinPath child_path(kq::SkinPath(), child.name);
        paths.push_back(child_path);
        for (const kq::SkinNode::Child& grandchild : child.node->children())
            paths.emplace_back(child_path, grandchild.name);
    }
    for (const kq::SkinPath& path : paths) {
        try {
            std::vector<kq::StrCache> names;
            kq::SkinNode::enum_ids(root, path, names, "");
            skin.node_text(path);
        } catch (const kq::Exception&) {
        }
    }
}

// The document's text as written, or false when it does not parse.
bool parse_and_write(const std::string& text, std::string& written)
{
    kq::SharedPtr<kq::SkinNode> root(new kq::SkinNode);
    if (!kq::test::parse_skin_text(*root, text))
        return false;
    kq::StringStream out;
    kq::SkinNode::write_children(*root, out);
    written = out.str();
    read_values(*root);
    return true;
}

// Reads the bytes as a binary copy and uses the tree read (without a skin service, the
// directives fail at once).
void read_binary_copy(const std::string& bytes)
{
    try {
        kq::StringBuffer buffer(bytes);
        kq::BStream stream(buffer);
        kq::SharedPtr<kq::SkinNode> root;
        read_binary(stream, root);
        if (!root)
            return;
        kq::StringStream out;
        kq::SkinNode::write_children(*root, out);
        root->run_directives();
    } catch (const kq::Exception&) {
    }
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kq::register_base_types();
    kq::register_res_types();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    read_binary_copy(bytes);
    std::string first;
    if (!parse_and_write(bytes, first))
        return 0;
    std::string second;
    if (!parse_and_write(first, second) || second != first)
        std::abort();
    return 0;
}
