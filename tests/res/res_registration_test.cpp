#include "engine/res/res_registration.h"

#include <gtest/gtest.h>

#include "engine/base/bstream.h"
#include "engine/base/class_desc.h"
#include "engine/base/create.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_registry.h"
#include "engine/res/res.h"
#include "test_resources.h"

KQ_TYPE_NAME(kq::ResHandle<kq::test::TextResource>, "class kq::ResHandle<class kq::test::TextResource>");

namespace kq {
namespace {

using TextHandle = ResHandle<test::TextResource>;

TEST(ResRegistration, HandleBaseIsAbstract)
{
    ASSERT_NE(rtti::TypeRegistry::find_class(type_name<ResHandleBase>()), nullptr);
    try {
        rtti::create(type_name<ResHandleBase>());
        ADD_FAILURE();
    } catch (const rtti::RTTIException& error) {
        EXPECT_EQ(std::string(error.what()), "kq.rtti: [class kq::ResHandleBase] is abstract type");
    }
}

// A handle class registers as its resource's subsystem does it: with the base by name.
TEST(ResRegistration, HandleClassStreamsThroughItsDescriptor)
{
    auto& descriptor = rtti::ClassDesc<TextHandle>::instance();
    descriptor.add_base(type_name<ResHandleBase>());
    EXPECT_TRUE(descriptor.is_type(type_name<ResHandleBase>()));

    auto* created = static_cast<TextHandle*>(rtti::create(type_name<TextHandle>()));
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->empty());
    EXPECT_EQ(created->type(), type_name<test::TextResource>());
    delete created;

    SharedPtr<Res> res(new Res);
    res->read_root_file((test::fixture_dir() / "default.root").string());
    res->add_loader(type_name<test::TextResource>(), SharedPtr<ResLoader>(new test::TextLoader<test::TextResource>("txt")));
    TextHandle handle(ResKey{"plain.txt", 0});
    StringStream text;
    descriptor.store_text(text, &handle);
    EXPECT_EQ(text.str(), "\"plain.txt\" 0");

    handle.get();
    StringStream other("\"both.txt\" 2");
    descriptor.load_text(other, &handle);
    EXPECT_EQ(handle.get_loaded(), nullptr);
    EXPECT_EQ(handle.key(), (ResKey{"both.txt", 2}));

    StringBuffer bytes;
    {
        BStream out(bytes);
        descriptor.store_binary(out, &handle);
    }
    EXPECT_EQ(bytes.str(), std::string("\0\0\10\0\0\0both.txt\2\0\0\0", 18));
    TextHandle read;
    StringBuffer in(bytes.str());
    BStream stream(in);
    descriptor.load_binary(stream, &read);
    EXPECT_EQ(read.key(), (ResKey{"both.txt", 2}));
}

}
}
