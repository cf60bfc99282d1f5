#pragma once

#include <memory>
#include <string>

#include "engine/base/real_type_desc.h"
#include "engine/base/type_name.h"
#include "engine/base/type_registry.h"

namespace kq::rtti {

/// The descriptor of a fundamental value type (`int`, `float`, `bool`, the byte string,
/// `FilePath`); registered as a type only.
template <class T>
class FundamentalDesc : public RealTypeDesc<T, TypeDesc>
{
public:
    using RealTypeDesc<T, TypeDesc>::RealTypeDesc;

    /// Whatever descriptor is registered under T's name, else a new one, registered.
    static TypeDesc& instance()
    {
        if (TypeDesc* found = TypeRegistry::find_type(type_name<T>()))
            return *found;
        auto descriptor = std::make_shared<FundamentalDesc>(type_name<T>());
        TypeRegistry::add_type(descriptor);
        return *descriptor;
    }
};

}
