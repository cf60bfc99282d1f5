#pragma once

#include <map>
#include <memory>
#include <typeindex>
#include <vector>

#include "engine/base/str_cache.h"

namespace kq::rtti {

class TypeDesc;
class ClassBase;
class EnumBase;

/// The process-wide registry of type descriptors by registered name. Filled by the
/// registration groups at start-up, read afterwards; it owns every descriptor.
class TypeRegistry
{
public:
    /// The descriptor registered under the name (or an alias), or null.
    static TypeDesc* find_type(StrCache name);
    /// The class descriptor registered under the name, or null.
    static ClassBase* find_class(StrCache name);
    /// The enum descriptor registered under the name, or null.
    static EnumBase* find_enum(StrCache name);
    /// As `find_type`; a missing name raises `RTTIException` "[name]  unregistered.".
    static TypeDesc& get_type(StrCache name);
    /// As `find_enum`; a missing name raises `RTTIException` "[name]  unregistered or not a enum.".
    static EnumBase& get_enum(StrCache name);
    /// The class descriptor of the C++ class with this identity, or null; used to name an
    /// object's dynamic class.
    static const ClassBase* find_class_of(const std::type_info& identity);

    /// Enters a descriptor under its name (replacing any other under that name).
    static void add_type(std::shared_ptr<TypeDesc> descriptor);
    /// Enters a class descriptor as a type and a class, and the C++ class's identity.
    static void add_class(std::shared_ptr<ClassBase> descriptor, const std::type_info& identity);
    /// Enters an enum descriptor as a type and an enum.
    static void add_enum(std::shared_ptr<EnumBase> descriptor);
    /// Makes the type registered under name findable as a type also under alias.
    static void add_alias(StrCache alias, StrCache name);

private:
    static TypeRegistry& instance();
    void replace(std::shared_ptr<TypeDesc>& entry, std::shared_ptr<TypeDesc> descriptor);

    std::map<StrCache, std::shared_ptr<TypeDesc>> m_types;
    std::map<StrCache, ClassBase*> m_classes;
    std::map<StrCache, EnumBase*> m_enums;
    std::map<std::type_index, ClassBase*> m_identities;
    std::vector<std::shared_ptr<TypeDesc>> m_replaced;  ///< replaced under their name, still pointed at
};

}
