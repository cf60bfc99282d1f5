#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <typeinfo>

#include "engine/base/class_base.h"
#include "engine/base/exception.h"
#include "engine/base/real_type_desc.h"
#include "engine/base/type_name.h"
#include "engine/base/type_registry.h"
#include "engine/host/system/assert.h"

namespace kq::rtti {

/// Where the Base sub-object of a T lies, measured on storage that holds no object: for a
/// non-virtual base the conversion is address arithmetic only and reads nothing.
template <class T, class Base>
__attribute__((no_sanitize("undefined"))) std::ptrdiff_t base_offset()
{
    alignas(T) unsigned char storage[sizeof(T)];
    T* derived = reinterpret_cast<T*>(storage);
    return reinterpret_cast<unsigned char*>(static_cast<Base*>(derived)) - storage;
}

/// A class descriptor that knows the C++ class T.
template <class T>
class CppClass : public ClassBase
{
public:
    using ClassBase::ClassBase;
    using ClassBase::add_base;

    /// Records the registered base Base by its registered name. Casts through registered
    /// bases never move the address, so Base must start where T starts (asserted).
    template <class Base>
    CppClass& add_base()
    {
        static_assert(std::is_base_of_v<Base, T>, "a registered base is a base of the class");
        KQ_ASSERT((base_offset<T, Base>() == 0));
        ClassBase::add_base(type_name<Base>());
        return *this;
    }

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
