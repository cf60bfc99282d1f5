// Reads any input as a binary object graph; stream and reflection errors are expected
// exceptions, anything else (a crash, a leak, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/base/bstream.h"
#include "engine/base/class_desc.h"
#include "engine/base/exception.h"
#include "engine/base/base_types.h"
#include "engine/base/shared_object.h"

namespace kq::fuzz {

/// A value read by plain reference, not shared.
class Leaf : public BinaryIO
{
public:
    void store(BStream& stream) const override { write_binary(stream, m_text); }
    void load(BStream& stream) override { read_binary(stream, m_text); }

    std::string m_text;
    bool m_owned = false;  ///< taken by a node
};

/// A shared node with names, a number, an owned leaf and shared children.
class Node : public SharedObject
{
public:
    Node() = default;
    Node(const Node& other)
        : SharedObject(other), m_names(other.m_names), m_value(other.m_value),
          m_leaf(other.m_leaf ? new Leaf(*other.m_leaf) : nullptr), m_children(other.m_children)
    {
    }
    ~Node() override { delete m_leaf; }

    void store(BStream& stream) const override
    {
        SharedObject::store(stream);
        write_binary(stream, m_names);
        write_u32(stream, m_value);
        stream.write_object_ref(m_leaf);
        write_binary(stream, m_children);
    }

    void load(BStream& stream) override
    {
        SharedObject::load(stream);
        read_binary(stream, m_names);
        m_value = read_u32(stream);
        // A leaf met again belongs to the node that read it first.
        Leaf* leaf = stream.read_object_ref<Leaf>();
        if (leaf && !leaf->m_owned) {
            leaf->m_owned = true;
            m_leaf = leaf;
        }
        read_binary(stream, m_children);
    }

    std::set<StrCache> m_names;
    std::uint32_t m_value = 0;
    Leaf* m_leaf = nullptr;
    std::vector<SharedPtr<Node>> m_children;
};

}

KQ_TYPE_NAME(kq::fuzz::Leaf, "class kq::fuzz::Leaf");
KQ_TYPE_NAME(kq::fuzz::Node, "class kq::fuzz::Node");

namespace {

void register_types()
{
    static const bool registered = [] {
        kq::register_base_types();
        kq::rtti::ClassDesc<kq::fuzz::Leaf>::instance();
        kq::rtti::ClassDesc<kq::fuzz::Node>::instance();
        return true;
    }();
    (void)registered;
}

kq::SharedPtr<kq::fuzz::Node> node(std::uint32_t value, std::set<kq::StrCache> names, const char* leaf)
{
    kq::SharedPtr<kq::fuzz::Node> made(new kq::fuzz::Node);
    made->m_value = value;
    made->m_names = std::move(names);
    if (leaf) {
        made->m_leaf = new kq::fuzz::Leaf;
        made->m_leaf->m_text = leaf;
    }
    return made;
}

// Graphs as the writer makes them: random bytes rarely get past the first id, so the fuzzer
// starts from these and mutates them.
std::vector<std::string> seed_streams()
{
    std::vector<kq::SharedPtr<kq::fuzz::Node>> graphs;
    graphs.push_back({});
    graphs.push_back(node(1, {}, nullptr));
    graphs.push_back(node(2, {kq::StrCache("a"), kq::StrCache("b")}, "leaf"));
    {
        // One child shared twice, a unique-id name, and a name met again.
        kq::SharedPtr<kq::fuzz::Node> shared = node(3, {kq::StrCache("a")}, "shared");
        kq::SharedPtr<kq::fuzz::Node> root = node(4, {kq::StrCache("a"), kq::StrCache::make_unique()}, nullptr);
        root->m_children = {shared, node(5, {}, "other"), shared};
        graphs.push_back(root);
    }
    {
        kq::SharedPtr<kq::fuzz::Node> deep = node(6, {}, nullptr);
        for (std::uint32_t depth = 0; depth < 4; ++depth) {
            kq::SharedPtr<kq::fuzz::Node> parent = node(7 + depth, {kq::StrCache("level")}, "x");
            parent->m_children = {deep};
            deep = parent;
        }
        graphs.push_back(deep);
    }
    std::vector<std::string> streams;
    for (const kq::SharedPtr<kq::fuzz::Node>& graph : graphs) {
        kq::StringBuffer bytes;
        {
            kq::BStream stream(bytes);
            write_binary(stream, graph);
        }
        streams.push_back(bytes.str());
    }
    return streams;
}

}

// An empty corpus folder named on the command line is first given the seed streams.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    register_types();
    for (int i = 1; i < *argc; ++i) {
        const std::filesystem::path folder = (*argv)[i];
        std::error_code error;
        if ((*argv)[i][0] == '-' || !std::filesystem::is_directory(folder, error) ||
            !std::filesystem::is_empty(folder, error))
            continue;
        int number = 0;
        for (const std::string& stream : seed_streams())
            std::ofstream(folder / ("seed_" + std::to_string(number++)), std::ios::binary) << stream;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    register_types();
    try {
        kq::StringBuffer buffer(std::string(reinterpret_cast<const char*>(data), size));
        kq::BStream stream(buffer);
        kq::SharedPtr<kq::fuzz::Node> root;
        read_binary(stream, root);
    } catch (const kq::Exception&) {
    }
    return 0;
}
