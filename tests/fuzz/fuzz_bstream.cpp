// Reads any input as a binary object graph; stream and reflection errors are expected
// exceptions, anything else (a crash, a leak, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = [] {
        kq::register_base_types();
        kq::rtti::ClassDesc<kq::fuzz::Leaf>::instance();
        kq::rtti::ClassDesc<kq::fuzz::Node>::instance();
        return true;
    }();
    (void)registered;
    try {
        kq::StringBuffer buffer(std::string(reinterpret_cast<const char*>(data), size));
        kq::BStream stream(buffer);
        kq::SharedPtr<kq::fuzz::Node> root;
        read_binary(stream, root);
    } catch (const kq::Exception&) {
    }
    return 0;
}
