#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/constant_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/skin_node.h"
#include "skin_path_print.h"
#include "skin_tree_text.h"

namespace kq {
namespace {

using namespace test;

std::string to_binary(const SharedPtr<SkinNode>& root)
{
    StringBuffer buffer;
    BStream stream(buffer);
    write_binary(stream, root);
    return buffer.str();
}

SharedPtr<SkinNode> from_binary(const std::string& bytes)
{
    StringBuffer buffer(bytes);
    BStream stream(buffer);
    SharedPtr<SkinNode> root;
    read_binary(stream, root);
    return root;
}

std::string error_reading(const std::string& bytes)
{
    try {
        from_binary(bytes);
    } catch (const Exception& e) {
        // The message whole: the buffer's name in it holds the binary bytes, zeros included.
        return e.message();
    }
    return "no error";
}

TEST(SkinNodeBinary, TreeReadsBackUnchanged)
{
    SharedPtr<SkinNode> root = parse_document(sample_document);
    SharedPtr<SkinNode> back = from_binary(to_binary(root));
    ASSERT_TRUE(back);
    EXPECT_EQ(tree_difference(*root, *back), "");
    EXPECT_EQ(write_document(*back), write_document(*root));
}

TEST(SkinNodeBinary, PathsReadBack)
{
    for (const char* text : {"vimo.window", "", ".a", "a..b"}) {
        StringBuffer out;
        {
            BStream stream(out);
            write_binary(stream, SkinPath(text));
        }
        StringBuffer in(out.str());
        BStream stream(in);
        SkinPath path("x");
        read_binary(stream, path);
        EXPECT_EQ(path, SkinPath(text));
    }
}

TEST(SkinNodeBinary, TruncatedDataIsAnError)
{
    std::string bytes = to_binary(parse_document(sample_document));
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_NE(error_reading(bytes.substr(0, size)), "no error") << size;
}

TEST(SkinNodeBinary, HugeCountIsAnError)
{
    std::string bytes = to_binary(SharedPtr<SkinNode>(new SkinNode));
    // An empty node ends with its counts of children, parents, directives and ids, then the
    // handle's block id.
    const std::uint32_t huge = 0x7FFFFFFF;
    for (std::size_t from_end : {20, 16, 12, 8}) {
        std::string damaged = bytes;
        std::memcpy(&damaged[damaged.size() - from_end], &huge, 4);
        EXPECT_NE(error_reading(damaged).find("unexpected end of buffer."), std::string::npos) << from_end;
    }
}

TEST(SkinNodeBinary, DeepNestingIsAnError)
{
    SharedPtr<SkinNode> root(new SkinNode);
    SkinNode* current = root.get();
    for (int i = 0; i < 300; ++i) {
        SharedPtr<SkinNode> child(new SkinNode);
        current->add_child(StrCache("a"), child);
        current = child.get();
    }
    EXPECT_NE(error_reading(to_binary(root)).find("skin data nested too deeply."), std::string::npos);
}

TEST(SkinNodeBinary, SharedBranchesAreRejected)
{
    SharedPtr<SkinNode> root(new SkinNode);
    SharedPtr<SkinNode> shared(new SkinNode);
    root->add_child(StrCache("a"), shared);
    root->add_child(StrCache("b"), shared);
    EXPECT_NE(error_reading(to_binary(root)).find("Invalid child node."), std::string::npos);

    SharedPtr<ValueAtom> argument(new ConstantAtom("1"));
    SharedPtr<SkinNode> call(new SkinNode);
    call->value().set_atom(SharedPtr<ValueAtom>(new FuncAtom(StrCache("f"), {argument, argument})));
    EXPECT_NE(error_reading(to_binary(call)).find("invalid function argument."), std::string::npos);
}

}
}
