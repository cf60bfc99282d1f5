// Reads arbitrary bytes as a skin document, in its text form and as a binary copy. Format
// errors are expected exceptions; a crash, a hang or a sanitizer report is a fault, and so
// is a text document that does not read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/foundation_types.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_registration.h"

namespace {

// The document's text as written, or false when it does not parse.
bool parse_and_write(const std::string& text, std::string& written)
{
    kq::SharedPtr<kq::SkinNode> root(new kq::SkinNode);
    try {
        kq::StringStream in(text);
        kq::SkinNode::parse_children(*root, in);
    } catch (const kq::Exception&) {
        return false;
    }
    kq::StringStream out;
    kq::SkinNode::write_children(*root, out);
    written = out.str();
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
    kq::register_foundation_types();
    kq::register_skin_types();
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
