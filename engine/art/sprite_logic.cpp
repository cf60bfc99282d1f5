#include "engine/art/sprite_logic.h"

#include "engine/art/sprite_base.h"
#include "engine/base/bstream.h"

namespace kq {

namespace {

constexpr std::uint8_t logic_version = 1;
constexpr std::uint8_t state_field_version = 1;
constexpr std::uint8_t parameter_version = 0;

// Smallest stored sizes, to check counts against what is left: a state field is its version,
// name id, width and shift; a parameter its version, id, name id and value; a name its id.
constexpr std::uint32_t state_field_size = 13;
constexpr std::uint32_t parameter_size = 13;
constexpr std::uint32_t name_size = 4;

std::int32_t read_i32(BStream& stream)
{
    return static_cast<std::int32_t>(read_u32(stream));
}

void read_version(BStream& stream, std::uint8_t highest, std::uint8_t& version)
{
    version = read_u8(stream);
    if (version > highest)
        stream.error("unsupported version.");
}

// The sprite that owns the logic is the one whose nearest logic is it while its parent's is
// not (a controller answers its parent's logic, so it never qualifies).
bool owns(SpriteBase* object, const SpriteLogic* logic)
{
    return object->logic() == logic && (!object->parent() || object->parent()->logic() != logic);
}

}

int SpriteLogic::find_parameter(std::int32_t id) const
{
    for (std::size_t i = 0; i < m_parameters.size(); ++i)
        if (m_parameters[i].id == id)
            return static_cast<int>(i);
    return -1;
}

int SpriteLogic::find_state_field(StrCache name) const
{
    for (std::size_t i = 0; i < m_state_fields.size(); ++i)
        if (m_state_fields[i].name == name)
            return static_cast<int>(i);
    return -1;
}

void SpriteLogic::set_state(SpriteBase* sprite, StrCache name, std::int32_t value)
{
    if (sprite && find_state_field(name) >= 0) {
        SpriteBase* target = sprite;
        while (!owns(target, this) && target->parent())
            target = target->parent();
        target->set_state_field(name, static_cast<std::uint32_t>(value));
    }
    m_on_set_state.emit(sprite, name, value);
}

void SpriteLogic::store(BStream& stream) const
{
    write_u8(stream, logic_version);
    write_u32(stream, static_cast<std::uint32_t>(m_state_fields.size()));
    for (const StateField& field : m_state_fields) {
        write_u8(stream, state_field_version);
        write_binary(stream, field.name);
        write_u32(stream, static_cast<std::uint32_t>(field.width));
        write_u32(stream, static_cast<std::uint32_t>(field.shift));
        write_u32(stream, static_cast<std::uint32_t>(field.value_names.size()));
        for (StrCache value_name : field.value_names)
            write_binary(stream, value_name);
    }
    write_u32(stream, static_cast<std::uint32_t>(m_reserved));
    write_u32(stream, static_cast<std::uint32_t>(m_parameters.size()));
    for (const Parameter& parameter : m_parameters) {
        write_u8(stream, parameter_version);
        write_u32(stream, static_cast<std::uint32_t>(parameter.id));
        write_binary(stream, parameter.name);
        write_u32(stream, static_cast<std::uint32_t>(parameter.value));
    }
}

void SpriteLogic::load(BStream& stream)
{
    std::uint8_t version = 0;
    read_version(stream, logic_version, version);
    std::vector<StateField> fields(read_count(stream, state_field_size));
    for (StateField& field : fields) {
        std::uint8_t field_version = 0;
        read_version(stream, state_field_version, field_version);
        field.name = stream.read_name();
        field.width = read_i32(stream);
        field.shift = read_i32(stream);
        if (field_version >= 1) {
            field.value_names.resize(read_count(stream, name_size));
            for (StrCache& value_name : field.value_names)
                value_name = stream.read_name();
        }
    }
    m_state_fields = std::move(fields);
    if (version < 1)
        return;
    m_reserved = read_i32(stream);
    std::vector<Parameter> parameters(read_count(stream, parameter_size));
    for (Parameter& parameter : parameters) {
        std::uint8_t parameter_record = 0;
        read_version(stream, parameter_version, parameter_record);
        parameter.id = read_i32(stream);
        parameter.name = stream.read_name();
        parameter.value = read_i32(stream);
    }
    m_parameters = std::move(parameters);
}

}
