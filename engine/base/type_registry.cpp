#include "engine/base/type_registry.h"

#include "engine/base/class_base.h"
#include "engine/base/enum_base.h"
#include "engine/base/exception.h"

namespace kq::rtti {

namespace {

// The pointer held under key, or null; a shared pointer is not copied (lookups are frequent).
template <class Map>
auto find_in(const Map& map, const typename Map::key_type& key)
{
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &*it->second;
}

}

TypeRegistry& TypeRegistry::instance()
{
    static TypeRegistry registry;
    return registry;
}

TypeDesc* TypeRegistry::find_type(StrCache name)
{
    return find_in(instance().m_types, name);
}

ClassBase* TypeRegistry::find_class(StrCache name)
{
    return find_in(instance().m_classes, name);
}

EnumBase* TypeRegistry::find_enum(StrCache name)
{
    return find_in(instance().m_enums, name);
}

TypeDesc& TypeRegistry::get_type(StrCache name)
{
    TypeDesc* descriptor = find_type(name);
    if (!descriptor)
        KQ_THROW(RTTIException, name.c_str(), " unregistered.");
    return *descriptor;
}

EnumBase& TypeRegistry::get_enum(StrCache name)
{
    EnumBase* descriptor = find_enum(name);
    if (!descriptor)
        KQ_THROW(RTTIException, name.c_str(), " unregistered or not a enum.");
    return *descriptor;
}

const ClassBase* TypeRegistry::find_class_of(const std::type_info& identity)
{
    return find_in(instance().m_identities, std::type_index(identity));
}

void TypeRegistry::add_type(std::shared_ptr<TypeDesc> descriptor)
{
    TypeRegistry& registry = instance();
    std::shared_ptr<TypeDesc>& entry = registry.m_types[descriptor->name()];
    registry.replace(entry, std::move(descriptor));
}

// The classes and enums maps and the C++ identities may still point at a replaced descriptor,
// so it is kept until the registry ends instead of being destroyed under them.
void TypeRegistry::replace(std::shared_ptr<TypeDesc>& entry, std::shared_ptr<TypeDesc> descriptor)
{
    if (entry)
        m_replaced.push_back(std::move(entry));
    entry = std::move(descriptor);
}

void TypeRegistry::add_class(std::shared_ptr<ClassBase> descriptor, const std::type_info& identity)
{
    TypeRegistry& registry = instance();
    registry.m_classes[descriptor->name()] = descriptor.get();
    registry.m_identities[std::type_index(identity)] = descriptor.get();
    add_type(std::move(descriptor));
}

void TypeRegistry::add_enum(std::shared_ptr<EnumBase> descriptor)
{
    instance().m_enums[descriptor->name()] = descriptor.get();
    add_type(std::move(descriptor));
}

void TypeRegistry::add_alias(StrCache alias, StrCache name)
{
    TypeRegistry& registry = instance();
    registry.replace(registry.m_types[alias], registry.m_types.at(name));
}

}
