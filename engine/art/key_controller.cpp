#include "engine/art/key_controller.h"

#include <string>

#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/log.h"
#include "engine/base/property_owner.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t key_controller_version = 1;
constexpr std::uint8_t property_version = 11;

}

// KeyController

void KeyController::store(BStream& stream) const
{
    write_u8(stream, key_controller_version);
    SpriteController::store(stream);
}

void KeyController::load(BStream& stream)
{
    if (read_u8(stream) != key_controller_version)
        stream.error("unsupported version.");
    SpriteController::load(stream);
}

// SCProperty

void SCProperty::store(BStream& stream) const
{
    write_u8(stream, property_version);
    KeyController::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_property));
    write_u32(stream, static_cast<std::uint32_t>(m_component));
}

void SCProperty::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > property_version)
        stream.error("unsupported version.");
    if (version < 10) {
        read_u8(stream);
        SpriteController::load(stream);
    } else {
        KeyController::load(stream);
    }
    m_property = static_cast<std::int32_t>(read_u32(stream));
    if (version >= 11)
        m_component = static_cast<std::int32_t>(read_u32(stream));
}

void SCProperty::read_skin(const SkinPath& path)
{
    KeyController::read_skin(path);
    read_skin_value(path + "property", &m_property);
}

std::int32_t SCProperty::component_count()
{
    std::int32_t count = 0;
    if (SpriteBase* owner = parent())
        owner->property(property_count, m_property, &count);
    return count;
}

StrCache SCProperty::element_type()
{
    StrCache type;
    if (SpriteBase* owner = parent())
        owner->property(property_type, m_property, &type);
    return type;
}

bool SCProperty::read_floats(VectorD<float>& out)
{
    out.clear();
    const std::int32_t count = component_count();
    if (count <= 0)
        return false;
    if (element_type() != type_name<float>()) {
        const std::string message = "Key controller skipped property " + std::to_string(m_property) +
                                    ": its values are not floats.";
        log_error(message.c_str(), __FILE__, __LINE__);
        return false;
    }
    out.resize(static_cast<std::uint32_t>(count));
    parent()->property(property_get, m_property, out.data());
    return true;
}

bool SCProperty::read_driven(VectorD<float>& out)
{
    if (!read_floats(out))
        return false;
    if (m_component == -1)
        return true;
    // A component read from a file may lie outside the property.
    if (m_component < 0 || static_cast<std::uint32_t>(m_component) >= out.size()) {
        out.clear();
        return false;
    }
    const float value = out[static_cast<std::uint32_t>(m_component)];
    out.resize(1);
    out[0] = value;
    return true;
}

void SCProperty::write_driven(const VectorD<float>& values)
{
    VectorD<float> whole;
    if (!read_floats(whole))
        return;
    if (m_component == -1) {
        for (std::uint32_t i = 0; i < whole.size(); ++i)
            whole[i] = i < values.size() ? values[i] : 0.0f;
    } else if (m_component >= 0 && static_cast<std::uint32_t>(m_component) < whole.size()) {
        whole[static_cast<std::uint32_t>(m_component)] = values.empty() ? 0.0f : values[0];
    } else {
        return;
    }
    parent()->property(property_set, m_property, whole.data());
}

SCProperty* SCProperty::split_copy(int n)
{
    const std::int32_t count = m_component >= 0 ? 1 : component_count();
    if (n < 0 || n >= count)
        return nullptr;
    rtti::ClonePass pass;
    rtti::clone_map_reset(parent());
    SCProperty* copy = rtti::clone(this);
    // A copy of a one-component controller keeps driving that same component.
    if (m_component < 0)
        copy->m_component = n;
    return copy;
}

}
