#include "engine/res/res_handle.h"

#include <gtest/gtest.h>

#include "engine/base/bstream.h"
#include "engine/base/string_stream.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "engine/res/skin_path.h"
#include "test_resources.h"
#include "test_skin_environment.h"

namespace kq {
namespace {

using test::TextResource;

// A `Res` over the fixture tree that loads text files.
class ResHandleTest : public testing::Test
{
protected:
    ResHandleTest() : m_res(new Res)
    {
        m_res->read_root_file((test::fixture_dir() / "default.root").string());
        m_res->add_loader(type_name<TextResource>(), SharedPtr<ResLoader>(new test::TextLoader<TextResource>("txt")));
    }

    SharedPtr<Res> m_res;
};

TEST_F(ResHandleTest, EmptyHandleHoldsNothing)
{
    ResHandle<TextResource> handle;
    EXPECT_TRUE(handle.empty());
    EXPECT_EQ(handle.type(), type_name<TextResource>());
    EXPECT_EQ(handle.get(), nullptr);
    EXPECT_EQ(handle.get_loaded(), nullptr);
}

TEST_F(ResHandleTest, LoadsOnFirstGetAndCountsOneUse)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 0});
    EXPECT_EQ(handle.get_loaded(), nullptr);
    ASSERT_NE(handle.get(), nullptr);
    EXPECT_EQ(handle.get()->m_text, "plain\n");
    EXPECT_EQ(handle.get_loaded()->use_count(), 1);
    ResHandle<TextResource> missing(ResKey{"missing.txt", 0});
    EXPECT_THROW(missing.get(), ResException);
}

TEST_F(ResHandleTest, ComparesByRecordOrByKey)
{
    ResHandle<TextResource> a(ResKey{"plain.txt", 0});
    ResHandle<TextResource> b(ResKey{"plain.txt", 0});
    ResHandle<TextResource> other_flags(ResKey{"plain.txt", 1});
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == other_flags);
    a.get();
    EXPECT_TRUE(a == b);
    b.get();
    EXPECT_TRUE(a == b);
}

TEST_F(ResHandleTest, CopiesShareTheRecordAndCountUses)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 0});
    ResRecord* record = nullptr;
    {
        handle.get();
        record = handle.get_loaded();
        ResHandle<TextResource> copy(handle);
        ResHandle<TextResource> assigned;
        assigned = copy;
        EXPECT_EQ(copy.get_loaded(), record);
        EXPECT_EQ(assigned.get_loaded(), record);
        EXPECT_EQ(record->use_count(), 3);
        assigned = assigned;
        EXPECT_EQ(record->use_count(), 3);
    }
    EXPECT_EQ(record->use_count(), 1);
    handle.release();
    EXPECT_EQ(record->use_count(), 0);
    EXPECT_EQ(handle.get_loaded(), nullptr);
}

TEST_F(ResHandleTest, ChangingTheKeyLetsGo)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 0});
    handle.get();
    ResRecord* record = handle.get_loaded();
    handle.set_path("plain.txt");
    EXPECT_EQ(handle.get_loaded(), record);
    handle.set_path("both.txt");
    EXPECT_EQ(handle.get_loaded(), nullptr);
    EXPECT_EQ(record->use_count(), 0);
    EXPECT_EQ(handle.get()->m_text, "high\n");
    handle.set_key(ResKey{"plain.txt", 0});
    EXPECT_EQ(handle.get_loaded(), nullptr);
    EXPECT_EQ(handle.path(), "plain.txt");
}

TEST_F(ResHandleTest, DroppedRecordLoadsAgain)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 0});
    handle.get();
    m_res->unload([](StrCache, const ResKey&, const ResRecord&) { return true; });
    EXPECT_EQ(handle.get_loaded(), nullptr);
    ASSERT_NE(handle.get(), nullptr);
    EXPECT_EQ(handle.get_loaded()->use_count(), 1);
}

// A handle gives its record's object as its class, also once the record was loaded anew, and
// nothing, however often asked, while the loaded object is not of its class.
TEST_F(ResHandleTest, GivesItsRecordsObjectAsItsClass)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 0});
    TextResource* first = handle.get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(handle.get(), first);
    m_res->unload([](StrCache, const ResKey&, const ResRecord&) { return true; });
    TextResource* again = handle.get();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, handle.get_loaded()->resource().get());
    EXPECT_EQ(again->m_text, "plain\n");

    m_res->add_loader(type_name<test::ImageResource>(),
                      SharedPtr<ResLoader>(new test::TextLoader<TextResource>("txt")));
    ResHandle<test::ImageResource> image(ResKey{"plain.txt", 0});
    EXPECT_EQ(image.get(), nullptr);
    EXPECT_NE(image.get_loaded(), nullptr) << "loaded, but not an image";
    EXPECT_EQ(image.get(), nullptr);
}

TEST_F(ResHandleTest, ReadsItsNameFromSkin)
{
    test::TestSkinEnvironment skin("font \"Plain.TXT\"\nother both.txt\n");
    ResHandle<TextResource> handle;
    handle.read_name_from_skin(SkinPath("font"));
    EXPECT_EQ(handle.path(), "plain.txt");
    ASSERT_NE(handle.get(), nullptr);
    ResRecord* record = handle.get_loaded();
    handle.read_name_from_skin(SkinPath("font"));
    EXPECT_EQ(handle.get_loaded(), record);
    handle.read_name_from_skin(SkinPath("other"));
    EXPECT_EQ(handle.get_loaded(), nullptr);
    EXPECT_EQ(record->use_count(), 0);
    EXPECT_EQ(handle.path(), "both.txt");
}

TEST_F(ResHandleTest, TextFormReadsBackAndLetsGo)
{
    ResHandle<TextResource> handle(ResKey{"plain.txt", 3});
    StringStream out;
    handle.write_text(out);
    EXPECT_EQ(out.str(), "\"plain.txt\" 3");

    ResHandle<TextResource> read(ResKey{"both.txt", 0});
    read.get();
    StringStream in("\"Docs\\\\Main.txt\" 11b");
    read.read_text(in);
    EXPECT_EQ(read.get_loaded(), nullptr);
    EXPECT_EQ(read.key(), (ResKey{"docs/main.txt", 3}));
}

TEST_F(ResHandleTest, BinaryFormIsByteExact)
{
    ResHandle<TextResource> handle(ResKey{"a.png", 0});
    StringBuffer buffer;
    {
        BStream out(buffer);
        handle.store(out);
    }
    const std::string expected("\0\0\5\0\0\0a.png\0\0\0\0", 15);
    EXPECT_EQ(buffer.str(), expected);

    ResHandle<TextResource> flags(ResKey{"b", -2});
    StringBuffer flag_buffer;
    {
        BStream out(flag_buffer);
        flags.store(out);
    }
    EXPECT_EQ(flag_buffer.str(), std::string("\0\0\1\0\0\0b\xFE\xFF\xFF\xFF", 11));

    ResHandle<TextResource> read(ResKey{"plain.txt", 0});
    read.get();
    StringBuffer in(flag_buffer.str());
    BStream stream(in);
    read.load(stream);
    EXPECT_EQ(read.get_loaded(), nullptr);
    EXPECT_EQ(read.key(), (ResKey{"b", -2}));
}

TEST_F(ResHandleTest, CutBinaryFormFails)
{
    const std::string whole("\0\0\5\0\0\0a.png\0\0\0\0", 15);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        StringBuffer buffer(whole.substr(0, length));
        BStream stream(buffer);
        ResHandle<TextResource> handle;
        try {
            handle.load(stream);
            ADD_FAILURE() << length;
        } catch (const IOException& error) {
            // The message names the buffer, whose bytes hold zeros: search the whole message.
            EXPECT_NE(error.message().find("unexpected end of buffer."), std::string::npos) << length;
        }
    }
}

}
}
