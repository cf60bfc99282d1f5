#include "engine/base/class_base.h"

#include "engine/base/exception.h"
#include "engine/base/type_registry.h"

namespace kq::rtti {

void ClassBase::add_base(StrCache base_name)
{
    m_bases.push_back(BaseRecord{base_name});
}

const ClassBase& ClassBase::link(const BaseRecord& base) const
{
    if (!base.link)
        base.link = TypeRegistry::find_class(base.name);
    if (!base.link)
        KQ_THROW(RTTIException, base.name.c_str(), "cannot get link to this class or type is not class.");
    return *base.link;
}

void* ClassBase::cast(void* object, StrCache name) const
{
    if (name == this->name() && object)
        return object;
    for (const BaseRecord& base : m_bases)
        if (void* found = link(base).cast(object, name))
            return static_cast<char*>(found) + base.offset;
    return nullptr;
}

bool ClassBase::is_type(StrCache name) const
{
    if (name == this->name())
        return true;
    for (const BaseRecord& base : m_bases)
        if (link(base).is_type(name))
            return true;
    return false;
}

}
