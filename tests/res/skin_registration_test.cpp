#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

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

// Created and cloned by its registered name, and streamed as text through its descriptor.
template <class T>
void check_registered(const char* name, const char* text)
{
    std::unique_ptr<T> created(static_cast<T*>(rtti::create(StrCache(name))));
    ASSERT_TRUE(created) << name;
    EXPECT_EQ(typeid(*created), typeid(T)) << name;
    StringStream in(text);
    const rtti::TypeDesc& descriptor = rtti::TypeRegistry::get_type(StrCache(name));
    descriptor.load_text(in, created.get());
    std::unique_ptr<T> copy(rtti::clone(created.get()));
    StringStream out;
    descriptor.store_text(out, copy.get());
    EXPECT_EQ(out.str(), text) << name;
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
