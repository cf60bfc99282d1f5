#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/base/type_desc.h"

namespace kq::rtti {

/// The descriptor of an enum: its named values both ways. A value may have several names;
/// the name added last is the one it is written as.
class EnumBase : public TypeDesc
{
public:
    using TypeDesc::TypeDesc;

    /// Enters the pair: the name reads as the value, the value writes as the name.
    void add(const std::string& name, std::int32_t value);
    /// The value of the name; an unknown name raises
    /// `RTTIException` "enum string interpretation [name] unregistered.".
    std::int32_t value_of(const std::string& name) const;
    /// The name the value is written as; an unknown value raises
    /// `RTTIException` "enum value <n> unregistered".
    const std::string& name_of(std::int32_t value) const;

private:
    std::map<std::int32_t, std::string> m_names;
    std::map<std::string, std::int32_t> m_values;
};

}
