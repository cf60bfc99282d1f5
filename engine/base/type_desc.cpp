#include "engine/base/type_desc.h"

#include "engine/base/type_registry.h"

namespace kq::rtti {

void* TypeDesc::cast(void* object, StrCache name) const
{
    return name == m_name ? object : nullptr;
}

bool TypeDesc::is_type(StrCache name) const
{
    return name == m_name;
}

void TypeDesc::add_alias(const char* alias) const
{
    TypeRegistry::add_alias(StrCache(alias), m_name);
}

}
