#include "engine/res/res_types.h"

#include <memory>
#include <typeinfo>

#include <gtest/gtest.h>

#include "engine/base/bstream.h"
#include "engine/base/class_desc.h"
#include "engine/base/clone.h"
#include "engine/base/create.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/res.h"
#include "engine/res/skin_node.h"
#include "engine/res/variable_atom.h"
#include "test_resources.h"

KQ_TYPE_NAME(kq::ResHandle<kq::test::TextResource>, "class kq::ResHandle<class kq::test::TextResource>");

namespace kq {
namespace {

using TextHandle = ResHandle<test::TextResource>;

TEST(ResTypes, HandleBaseIsAbstract)
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
TEST(ResTypes, HandleClassStreamsThroughItsDescriptor)
{
    auto& descriptor = rtti::ClassDesc<TextHandle>::instance();
    descriptor.add_base<ResHandleBase>();
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

template <class T>
std::unique_ptr<T> create(const char* name)
{
    std::unique_ptr<T> created(static_cast<T*>(rtti::create(StrCache(name))));
    EXPECT_TRUE(created && typeid(*created) == typeid(T)) << name;
    return created;
}

// Created and cloned by its registered name, and streamed as text and in binary through its
// descriptor.
template <class T>
void check_registered(const char* name, const char* text)
{
    std::unique_ptr<T> created = create<T>(name);
    ASSERT_TRUE(created) << name;
    StringStream in(text);
    const rtti::TypeDesc& descriptor = rtti::TypeRegistry::get_type(StrCache(name));
    descriptor.load_text(in, created.get());
    std::unique_ptr<T> copy(rtti::clone(created.get()));
    StringBuffer bytes;
    BStream out(bytes);
    descriptor.store_binary(out, copy.get());
    StringBuffer bytes_in(bytes.str());
    BStream binary_in(bytes_in);
    std::unique_ptr<T> loaded = create<T>(name);
    descriptor.load_binary(binary_in, loaded.get());
    StringStream text_out;
    descriptor.store_text(text_out, loaded.get());
    EXPECT_EQ(text_out.str(), text) << name;
}

TEST(ResTypes, RegistersTheNodeAndTheAtoms)
{
    check_registered<SkinNode>("class kq::SkinNode", "[1]");
    check_registered<ConstantAtom>("class kq::ConstantAtom", "[a b]");
    check_registered<VariableAtom>("class kq::VariableAtom", "*.a");
    check_registered<RefAtom>("class kq::RefAtom", "&a.b");
    check_registered<FuncAtom>("class kq::FuncAtom", "=\"f\"([1] *x)");
    check_registered<DefAtom>("class kq::DefAtom", "#\"w\"");
    EXPECT_EQ(rtti::TypeRegistry::find_class(StrCache("class kq::ValueAtom")), nullptr);
}

}
}
