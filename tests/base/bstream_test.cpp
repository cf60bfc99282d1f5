#include "engine/base/bstream.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "engine/base/class_desc.h"
#include "engine/base/exception.h"
#include "engine/base/shared_object.h"
#include "rtti_test_types.h"
#include "temp_dir.h"

namespace kq::test {

/// A shared object with a name, a number and shared children: a small object graph.
class Node : public SharedObject
{
public:
    void store(BStream& stream) const override
    {
        SharedObject::store(stream);
        write_binary(stream, m_name);
        write_u32(stream, m_value);
        write_binary(stream, m_children);
    }

    void load(BStream& stream) override
    {
        SharedObject::load(stream);
        read_binary(stream, m_name);
        m_value = read_u32(stream);
        read_binary(stream, m_children);
    }

    StrCache m_name;
    std::uint32_t m_value = 0;
    std::vector<SharedPtr<Node>> m_children;
};

/// Refuses to finish reading when its number is 0.
class Picky : public BinaryIO
{
public:
    void store(BStream& stream) const override { write_u32(stream, m_value); }
    void load(BStream& stream) override
    {
        m_value = read_u32(stream);
        if (m_value == 0)
            stream.error("zero refused.");
    }

    std::uint32_t m_value = 1;
};

}

KQ_TYPE_NAME(kq::test::Node, "class kq::test::Node");
KQ_TYPE_NAME(kq::test::Picky, "class kq::test::Picky");

namespace kq {
namespace {

using test::Node;
using test::Picky;
using test::Shape;

// Bytes from hex pairs; blanks between them are ignored.
std::string bytes(const char* hex)
{
    std::string result;
    for (const char* p = hex; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        result += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
        p += 2;
    }
    return result;
}

// The bytes of a type name or text at its first occurrence: flag 0, length, characters.
std::string text_form(const std::string& text)
{
    StringBuffer buffer;
    Stream stream(buffer);
    write_u8(stream, 0);
    write_binary(stream, text);
    return buffer.str();
}

class BStreamTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        test::register_test_shapes();
        rtti::ClassDesc<Node>::instance();
        rtti::ClassDesc<Picky>::instance();
    }

    template <class Write>
    static std::string written(Write write)
    {
        StringBuffer buffer;
        BStream stream(buffer);
        write(stream);
        return buffer.str();
    }

    // The error text a read of the bytes ends with, or "" when it succeeds.
    static std::string read_error(const std::string& data, const std::function<void(BStream&)>& read)
    {
        StringBuffer buffer(data);
        BStream stream(buffer);
        try {
            read(stream);
        } catch (const Exception& e) {
            return e.message();
        }
        return "";
    }
};

TEST_F(BStreamTest, ANullHandleIsFourBytes)
{
    EXPECT_EQ(written([](BStream& s) { write_binary(s, SharedPtr<Node>()); }), bytes("FFFFFFFF"));
    EXPECT_EQ(written([](BStream& s) { s.write_ref(nullptr); }), bytes("FFFFFFFF"));

    StringBuffer buffer(bytes("FFFFFFFF"));
    BStream stream(buffer);
    SharedPtr<Node> handle(new Node);
    read_binary(stream, handle);
    EXPECT_FALSE(handle);
}

TEST_F(BStreamTest, AnObjectFirstInAStreamTakesIdZeroAndItsTypeNameIdOne)
{
    const Shape shape(5);
    const std::string expected =
        bytes("00000000 01000000") + text_form("class kq::test::Shape") + bytes("05000000") + bytes("00000000");
    EXPECT_EQ(written([&](BStream& s) {
                  s.write_object_ref(&shape);
                  s.write_object_ref(&shape);
              }),
              expected);

    StringBuffer buffer(expected);
    BStream stream(buffer);
    Shape* read = stream.read_object_ref<Shape>();
    EXPECT_EQ(read->m_size, 5);
    EXPECT_EQ(stream.read_object_ref<Shape>(), read);
    delete read;
}

TEST_F(BStreamTest, AnInternedStringIsWrittenInFullOnce)
{
    const StrCache abc("abc");
    const StrCache unique = StrCache::make_unique();
    const std::string expected = bytes("00000000 00 03000000 616263 00000000 01000000 01 01000000");
    EXPECT_EQ(written([&](BStream& s) {
                  write_binary(s, abc);
                  write_binary(s, abc);
                  write_binary(s, unique);
                  write_binary(s, unique);
              }),
              expected);

    StringBuffer buffer(expected);
    BStream stream(buffer);
    StrCache first, second, third, fourth;
    read_binary(stream, first);
    read_binary(stream, second);
    read_binary(stream, third);
    read_binary(stream, fourth);
    EXPECT_EQ(first, abc);
    EXPECT_EQ(second, abc);
    EXPECT_TRUE(third.is_unique());
    EXPECT_NE(third, unique);  // a fresh id of the reader
    EXPECT_EQ(fourth, third);
}

TEST_F(BStreamTest, ASetOfNamesReplacesTheOldContents)
{
    const std::set<StrCache> names{StrCache("one"), StrCache("two")};
    const std::string data = written([&](BStream& s) { write_binary(s, names); });
    EXPECT_EQ(data.substr(0, 4), bytes("02000000"));

    StringBuffer buffer(data);
    BStream stream(buffer);
    std::set<StrCache> read{StrCache("old")};
    read_binary(stream, read);
    EXPECT_EQ(read, names);
}

TEST_F(BStreamTest, AHandleWrittenTwiceReadsBackAsOneObjectUsedTwice)
{
    SharedPtr<Node> node(new Node);
    node->m_value = 9;
    const std::string expected = bytes("00000000 01000000") + text_form("class kq::test::Node") +
                                 bytes("02000000 03000000 00 00000000 09000000 00000000 02000000") +
                                 bytes("00000000 02000000");
    EXPECT_EQ(written([&](BStream& s) {
                  write_binary(s, node);
                  write_binary(s, node);
              }),
              expected);

    SharedPtr<Node> first, second;
    {
        StringBuffer buffer(expected);
        BStream stream(buffer);
        read_binary(stream, first);
        read_binary(stream, second);
    }
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first.counter(), second.counter());
    EXPECT_EQ(first.counter()->m_use_count, 2u);
    EXPECT_EQ(first->m_value, 9u);
}

TEST_F(BStreamTest, SharingInsideAGraphSurvivesTheRoundTrip)
{
    SharedPtr<Node> shared(new Node);
    shared->m_name = StrCache("leaf");
    SharedPtr<Node> root(new Node);
    root->m_children = {shared, shared, SharedPtr<Node>()};
    const std::string data = written([&](BStream& s) { write_binary(s, root); });

    SharedPtr<Node> read;
    {
        StringBuffer buffer(data);
        BStream stream(buffer);
        read_binary(stream, read);
    }
    ASSERT_EQ(read->m_children.size(), 3u);
    EXPECT_EQ(read->m_children[0].get(), read->m_children[1].get());
    EXPECT_FALSE(read->m_children[2]);
    EXPECT_EQ(read->m_children[0]->m_name, StrCache("leaf"));
    EXPECT_EQ(read->m_children[0].counter()->m_use_count, 2u);
    EXPECT_EQ(read.counter()->m_use_count, 1u);
}

TEST_F(BStreamTest, ReadingTheBlockAHandleHoldsLeavesItAsItIs)
{
    SharedPtr<Node> node(new Node);
    const std::string data = written([&](BStream& s) {
        write_binary(s, node);
        write_binary(s, node);
    });
    StringBuffer buffer(data);
    BStream stream(buffer);
    SharedPtr<Node> handle;
    read_binary(stream, handle);
    Node* object = handle.get();
    read_binary(stream, handle);
    EXPECT_EQ(handle.get(), object);
    EXPECT_EQ(handle.counter()->m_use_count, 1u);
}

TEST_F(BStreamTest, CorruptStreamsRaiseErrors)
{
    const std::string node = bytes("00000000 01000000") + text_form("class kq::test::Node");
    struct Case
    {
        const char* what;
        std::string data;
        const char* error_end;
    };
    const Case cases[] = {
        {"end inside an id", bytes("0000"), "unexpected end of buffer."},
        {"a first id other than 0", bytes("01000000"), "reference id 1 is out of order."},
        {"a new id skipping one", node + bytes("03000000"), "reference id 3 is out of order."},
        {"end after the type name", node, "unexpected end of buffer."},
        {"huge name length", bytes("00000000 01000000 00 FFFFFF7F"), "unexpected end of buffer."},
        {"huge child count", node + bytes("02000000 03000000 00 00000000 00000000 F0FFFFFF 00000000"),
         "unexpected end of buffer."},
        {"type name id used as a block", node + bytes("01000000"), "reference id 1 is used as the wrong kind."},
        {"object id used as a name", node + bytes("02000000 00000000"), "reference id 0 is used as the wrong kind."},
        {"unknown type name", bytes("00000000 01000000") + text_form("class kq::test::Nothing"),
         "[class kq::test::Nothing] type descriptor not found, unable to create instance."},
        {"object of another class", bytes("00000000 01000000") + text_form("class kq::test::Shape") + bytes("05000000"),
         "object [class kq::test::Shape] is not of the expected class."},
        {"not a class", bytes("00000000 01000000") + text_form("int"),
         "object [int] is not of the expected class."},
        {"a node owning itself",
         node + bytes("02000000 03000000 00 00000000 00000000 01000000 00000000 02000000"),
         "reference id 0 makes a shared object own itself."},
        {"one object read with two blocks",
         node + bytes("02000000 03000000 00 00000000 00000000 02000000") +
             bytes("04000000 01000000 05000000 03000000 00000000 00000000 05000000") + bytes("04000000 06000000"),
         "shared object reference id 4 read with two count blocks."},
        {"a handle without a block", node + bytes("02000000 03000000 00 00000000 00000000 00000000 FFFFFFFF"),
         "shared object reference id 0 has no count block."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = read_error(c.data, [](BStream& s) {
            SharedPtr<Node> root;
            read_binary(s, root);
        });
        EXPECT_TRUE(error.ends_with(c.error_end)) << error;
    }
}

TEST_F(BStreamTest, AHandleWithTheBlockOfAnotherObjectIsRefused)
{
    // Two nodes, the second naming the first one's block as its handle's block.
    SharedPtr<Node> first(new Node);
    SharedPtr<Node> second(new Node);
    std::string data = written([&](BStream& s) {
        write_binary(s, first);
        write_binary(s, second);
    });
    // The second handle's block reference is the last 4 bytes; point it at the first block (2).
    data.replace(data.size() - 4, 4, bytes("02000000"));
    const std::string error = read_error(data, [](BStream& s) {
        SharedPtr<Node> a, b;
        read_binary(s, a);
        read_binary(s, b);
    });
    EXPECT_TRUE(error.ends_with("count block shared by two objects.")) << error;
}

TEST_F(BStreamTest, AHandleBlockOtherThanTheObjectOwnBecomesItsIdentity)
{
    const std::string data = bytes("00000000 01000000") + text_form("class kq::test::Node") +
                             bytes("02000000 03000000 00 00000000 00000000 00000000 04000000");
    SharedPtr<Node> read;
    {
        StringBuffer buffer(data);
        BStream stream(buffer);
        read_binary(stream, read);
    }
    SharedPtr<Node> again(read.get());
    EXPECT_EQ(again.counter(), read.counter());
    EXPECT_EQ(read.counter()->m_use_count, 2u);
}

TEST_F(BStreamTest, AnObjectWhoseReadFailsIsDeletedAndUnbound)
{
    const std::string data =
        bytes("00000000 01000000") + text_form("class kq::test::Picky") + bytes("00000000") + bytes("00000000");
    StringBuffer buffer(data);
    BStream stream(buffer);
    EXPECT_THROW(stream.read_object_ref<Picky>(), IOException);
    try {
        stream.read_object_ref<Picky>();
        FAIL();
    } catch (const IOException& e) {
        EXPECT_TRUE(e.message().ends_with("reference id 0 names an object that could not be read.")) << e.message();
    }
}

TEST_F(BStreamTest, ObjectsNestedWithoutEndAreRefused)
{
    struct Case
    {
        int depth;
        bool reads;
    };
    for (const Case c : {Case{900, true}, Case{1100, false}}) {
        SharedPtr<Node> root(new Node);
        Node* last = root.get();
        for (int i = 1; i < c.depth; ++i) {
            last->m_children.push_back(SharedPtr<Node>(new Node));
            last = last->m_children.back().get();
        }
        const std::string data = written([&](BStream& s) { write_binary(s, root); });
        const std::string error = read_error(data, [](BStream& s) {
            SharedPtr<Node> read;
            read_binary(s, read);
        });
        if (c.reads) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_TRUE(error.ends_with("objects nested too deeply.")) << error;
        }
    }
}

TEST_F(BStreamTest, AnObjectReadForAPlainReferenceIsNotSharedLater)
{
    SharedPtr<Node> node(new Node);
    const std::string data = written([&](BStream& s) {
        s.write_object_ref(node.get());
        write_binary(s, node);
    });
    StringBuffer buffer(data);
    BStream stream(buffer);
    std::unique_ptr<Node> owned(stream.read_object_ref<Node>());
    SharedPtr<Node> shared;
    try {
        read_binary(stream, shared);
        FAIL();
    } catch (const IOException& e) {
        EXPECT_TRUE(e.message().ends_with("reference id 0 shares an object that has an owner already.")) << e.message();
    }
}

TEST_F(BStreamTest, ResetForgetsEveryId)
{
    const StrCache name("reset");
    StringBuffer buffer;
    BStream stream(buffer);
    write_binary(stream, name);
    stream.reset();
    EXPECT_EQ(stream.find_id(reinterpret_cast<const void*>(name.word())), -1);
    write_binary(stream, name);
    EXPECT_EQ(buffer.str().substr(14, 4), bytes("00000000"));
}

// A stream reads a file and a string buffer alike (objects of one class met again, and met
// as the wrong class), tells where it stands, and leaves the buffer there when it ends.
TEST_F(BStreamTest, ReadsAnyBufferAndLeavesItAfterWhatItRead)
{
    const Shape first(5);
    const Shape second(7);
    const std::string head = written([&](BStream& s) {
        s.write_object_ref(&first);
        s.write_object_ref(&second);
    });
    const std::string data = head + written([&](BStream& s) { s.write_object_ref(&second); });
    TempDir dir;
    {
        FileBuffer file(dir.file("objects.bin"), mode_create | mode_write);
        file.write(data.data(), static_cast<std::uint32_t>(data.size()));
    }
    StringBuffer text(data);
    FileBuffer file(dir.file("objects.bin"), mode_read);
    for (Buffer* buffer : {static_cast<Buffer*>(&text), static_cast<Buffer*>(&file)}) {
        SCOPED_TRACE(buffer->name());
        {
            BStream stream(*buffer);
            std::unique_ptr<Shape> a(stream.read_object_ref<Shape>());
            std::unique_ptr<Shape> b(stream.read_object_ref<Shape>());
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a->m_size, 5);
            EXPECT_EQ(b->m_size, 7);
            EXPECT_EQ(stream.tell(), static_cast<std::int64_t>(head.size()));
        }
        EXPECT_EQ(buffer->seek(0, seek_current), static_cast<std::int64_t>(head.size()));
        BStream rest(*buffer);
        try {
            delete rest.read_object_ref<Node>();
            ADD_FAILURE() << "a shape read as a node";
        } catch (const IOException& e) {
            EXPECT_TRUE(e.message().ends_with("is not of the expected class.")) << e.message();
        }
    }
}

}
}
