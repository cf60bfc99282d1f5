#pragma once

#include <memory>
#include <typeinfo>

#include "engine/base/class_base.h"
#include "engine/base/exception.h"
#include "engine/base/real_type_desc.h"
#include "engine/base/type_name.h"
#include "engine/base/type_registry.h"

namespace kq::rtti {

/// A class descriptor that knows the C++ class T.
template <class T>
class CppClass : public ClassBase
{
public:
    using ClassBase::ClassBase;

    BinaryIO* binary_io(void* object) const override
    {
        if constexpr (std::is_base_of_v<BinaryIO, T>)
            return static_cast<T*>(object);
        else
            return nullptr;
    }
};

/// Registers the descriptor Desc of T on first call and returns it afterwards; a class name
/// registered with another descriptor kind raises `RTTIException` with `clash_message`.
template <class Desc, class T>
Desc& class_instance(const char* clash_message)
{
    const StrCache& name = type_name<T>();
    ClassBase* found = TypeRegistry::find_class(name);
    if (!found) {
        auto descriptor = std::make_shared<Desc>(name);
        TypeRegistry::add_class(descriptor, typeid(T));
        return *descriptor;
    }
    if (auto* descriptor = dynamic_cast<Desc*>(found))
        return *descriptor;
    KQ_THROW(RTTIException, name.c_str(), clash_message);
}

/// The descriptor of a constructible registered class T.
template <class T>
class ClassDesc : public RealTypeDesc<T, CppClass<T>>
{
public:
    using RealTypeDesc<T, CppClass<T>>::RealTypeDesc;

    /// The descriptor of T, registered on first call.
    static ClassDesc& instance() { return class_instance<ClassDesc, T>("type redifinition"); }
};

/// The descriptor of an abstract registered class T: it takes part in base walks only.
template <class T>
class AbstractClassDesc : public AbstractTypeDesc<T, CppClass<T>>
{
public:
    using AbstractTypeDesc<T, CppClass<T>>::AbstractTypeDesc;

    /// The descriptor of T, registered on first call.
    static AbstractClassDesc& instance() { return class_instance<AbstractClassDesc, T>("type redifinition."); }
};

}
