#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "engine/base/enum_desc.h"

namespace kq::rtti {

/// Registers the enum E under its type name (on first call) and adds each value under its
/// name, in order; where several names share a value, the one added last is the one written.
/// Each library calls it from its `register_<lib>_types()`.
template <class E>
    requires std::is_enum_v<E>
void register_enum(std::initializer_list<std::pair<const char*, E>> names)
{
    EnumBase& descriptor = EnumDesc<E>::instance();
    for (const auto& [name, value] : names)
        descriptor.add(name, static_cast<std::int32_t>(value));
}

}
