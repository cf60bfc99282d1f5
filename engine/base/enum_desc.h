#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "engine/base/bstream.h"
#include "engine/base/enum_base.h"
#include "engine/base/real_type_desc.h"
#include "engine/base/tstream.h"
#include "engine/base/type_name.h"
#include "engine/base/type_registry.h"

namespace kq {

namespace rtti {

/// Enums are written as their registered names in text and as 4-byte integers in binary.
template <class E>
    requires std::is_enum_v<E>
struct ValueForm<E> : PlainCopy<E>
{
    static void store_text(TStream& stream, const E& value, StrCache name)
    {
        stream << TypeRegistry::get_enum(name).name_of(static_cast<std::int32_t>(value)).c_str();
    }

    static void store_binary(BStream& stream, const E& value, StrCache)
    {
        write_u32(stream, static_cast<std::uint32_t>(value));
    }

    static void load_text(TStream& stream, E& value, StrCache name)
    {
        std::string token;
        stream.take_token(token);
        value = static_cast<E>(TypeRegistry::get_enum(name).value_of(token));
    }

    static void load_binary(BStream& stream, E& value, StrCache)
    {
        value = static_cast<E>(read_u32(stream));
    }
};

/// The descriptor of the enum E.
template <class E>
class EnumDesc : public RealTypeDesc<E, EnumBase>
{
public:
    using RealTypeDesc<E, EnumBase>::RealTypeDesc;

    /// The enum descriptor registered under E's name (whatever made it), registered on first call.
    static EnumBase& instance()
    {
        if (EnumBase* found = TypeRegistry::find_enum(type_name<E>()))
            return *found;
        auto descriptor = std::make_shared<EnumDesc>(type_name<E>());
        TypeRegistry::add_enum(descriptor);
        return *descriptor;
    }
};

}

/// Writes a registered enum value as its name.
template <class E>
    requires std::is_enum_v<E> && requires { TypeNameOf<E>::value; }
TStream& operator<<(TStream& stream, E value)
{
    rtti::ValueForm<E>::store_text(stream, value, type_name<E>());
    return stream;
}

/// Reads a registered enum value from its name.
template <class E>
    requires std::is_enum_v<E> && requires { TypeNameOf<E>::value; }
TStream& operator>>(TStream& stream, E& value)
{
    rtti::ValueForm<E>::load_text(stream, value, type_name<E>());
    return stream;
}

}
