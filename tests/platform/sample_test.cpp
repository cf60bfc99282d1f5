#include "engine/platform/sample.h"

#include <gtest/gtest.h>

#include "engine/base/class_desc.h"
#include "engine/base/create.h"

namespace kq {
namespace {

// Skin-described objects hold sample handles made by name.
TEST(Sample, TheHandleClassIsRegisteredAndMakesEmptyHandles)
{
    const StrCache name("class kq::ResHandle<class kq::Sample>");
    ASSERT_NE(rtti::TypeRegistry::find_class(name), nullptr);
    EXPECT_TRUE(rtti::ClassDesc<ResHandle<Sample>>::instance().is_type(type_name<ResHandleBase>()));
    auto* created = static_cast<ResHandle<Sample>*>(rtti::create(name));
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->empty());
    EXPECT_EQ(created->key().m_flags, 0);
    EXPECT_EQ(created->type(), type_name<Sample>());
    delete created;
}

}
}
