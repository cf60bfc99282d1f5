#include "engine/base/enum_base.h"

#include "engine/base/exception.h"

namespace kq::rtti {

void EnumBase::add(const std::string& name, std::int32_t value)
{
    m_names[value] = name;
    m_values[name] = value;
}

std::int32_t EnumBase::value_of(const std::string& name) const
{
    auto it = m_values.find(name);
    if (it == m_values.end())
        throw RTTIException(this->name().c_str(), "enum string interpretation [" + name + "] unregistered.");
    return it->second;
}

const std::string& EnumBase::name_of(std::int32_t value) const
{
    auto it = m_names.find(value);
    if (it == m_names.end())
        throw RTTIException(this->name().c_str(), "enum value " + std::to_string(value) + " unregistered");
    return it->second;
}

}
