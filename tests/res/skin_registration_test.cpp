#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/create.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/skin_node.h"
#include "engine/res/variable_atom.h"

namespace kq {
namespace {

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

TEST(SkinRegistration, RegistersTheNodeAndTheAtoms)
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
