#include "engine/art/key_array.h"

#include <limits>
#include <string>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_name.h"
#include "engine/base/type_registry.h"

namespace kq {

template <class Build>
void KeyArray::build(const rtti::TypeDesc& type, std::uint32_t count, Build build)
{
    clear();
    const std::size_t size = type.size();
    if (size == 0 || count > std::numeric_limits<std::uint32_t>::max() / size)
        throw Exception("key array too large.");
    m_bytes.resize(static_cast<std::uint32_t>(size * count));
    std::uint32_t built = 0;
    try {
        for (; built < count; ++built)
            build(m_bytes.data() + built * size, built);
    } catch (...) {
        for (std::uint32_t i = 0; i < built; ++i)
            type.destroy(m_bytes.data() + i * size);
        m_bytes.clear();
        throw;
    }
    m_type = &type;
}

KeyArray::KeyArray(const rtti::TypeDesc& type, std::uint32_t count)
{
    build(type, count, [&type](void* memory, std::uint32_t) { type.construct(memory); });
}

KeyArray::KeyArray(const KeyArray& other) : bend(other.bend)
{
    if (other.m_type)
        build(*other.m_type, other.count(),
              [&other](void* memory, std::uint32_t i) { other.m_type->copy(other.element(i), memory); });
}

KeyArray& KeyArray::operator=(const KeyArray& other)
{
    if (this != &other) {
        KeyArray copy(other);
        clear();
        if (copy.m_type)
            build(*copy.m_type, copy.count(),
                  [&copy](void* memory, std::uint32_t i) { copy.m_type->copy(copy.element(i), memory); });
        bend = other.bend;
    }
    return *this;
}

KeyArray KeyArray::floats(const VectorD<float>& values)
{
    KeyArray array(rtti::TypeRegistry::get_type(kq::type_name<float>()), values.size());
    for (std::uint32_t i = 0; i < values.size(); ++i)
        *static_cast<float*>(array.element(i)) = values[i];
    return array;
}

KeyArray KeyArray::of_int(std::int32_t value)
{
    KeyArray array(rtti::TypeRegistry::get_type(kq::type_name<int>()), 1);
    *static_cast<std::int32_t*>(array.element(0)) = value;
    return array;
}

void KeyArray::clear()
{
    if (m_type) {
        const std::uint32_t n = count();
        for (std::uint32_t i = 0; i < n; ++i)
            m_type->destroy(element(i));
    }
    m_bytes.clear();
    m_type = nullptr;
}

StrCache KeyArray::type_name() const
{
    return m_type ? m_type->name() : StrCache();
}

std::uint32_t KeyArray::count() const
{
    return m_type ? static_cast<std::uint32_t>(m_bytes.size() / m_type->size()) : 0;
}

void* KeyArray::element(std::uint32_t i)
{
    return m_bytes.data() + i * m_type->size();
}

const void* KeyArray::element(std::uint32_t i) const
{
    return m_bytes.data() + i * m_type->size();
}

VectorD<float> KeyArray::to_floats() const
{
    VectorD<float> values;
    if (!holds(kq::type_name<float>()))
        return values;
    values.resize(count());
    for (std::uint32_t i = 0; i < values.size(); ++i)
        values[i] = *static_cast<const float*>(element(i));
    return values;
}

KeyArray KeyArray::element_array(std::uint32_t n) const
{
    KeyArray single;
    single.bend = bend;
    if (!m_type)
        return single;
    if (n < count())
        single.build(*m_type, 1, [this, n](void* memory, std::uint32_t) { m_type->copy(element(n), memory); });
    else
        single.build(*m_type, 1, [this](void* memory, std::uint32_t) { m_type->construct(memory); });
    return single;
}

void KeyArray::write_text(TStream& stream) const
{
    stream << std::string(type_name().c_str()) << " ";
    stream.put_manip(t_io::open_brace);
    const std::uint32_t n = count();
    for (std::uint32_t i = 0; i < n; ++i) {
        stream << " ";
        m_type->store_text(stream, element(i));
    }
    stream << " ";
    stream.put_manip(t_io::close_brace);
}

void KeyArray::read_text(TStream& stream)
{
    clear();
    std::string name;
    stream >> name;
    stream.expect("{");
    if (name.empty()) {
        stream.expect("}");
        return;
    }
    const rtti::TypeDesc& type = rtti::TypeRegistry::get_type(StrCache(name.c_str()));
    // Each element is read alone, then all are copied once into storage of the final size.
    std::vector<std::unique_ptr<KeyArray>> parts;
    for (;;) {
        stream.check_not_eof();
        if (stream.token_is("}"))
            break;
        auto part = std::make_unique<KeyArray>(type, 1);
        type.load_text(stream, part->element(0));
        parts.push_back(std::move(part));
    }
    stream.skip_token();
    build(type, static_cast<std::uint32_t>(parts.size()),
          [&type, &parts](void* memory, std::uint32_t i) { type.copy(parts[i]->element(0), memory); });
}

void KeyArray::store(BStream& stream) const
{
    write_binary(stream, type_name());
    if (!m_type)
        return;
    const std::uint32_t n = count();
    write_u32(stream, n);
    for (std::uint32_t i = 0; i < n; ++i)
        m_type->store_binary(stream, element(i));
}

void KeyArray::load(BStream& stream)
{
    clear();
    const StrCache name = stream.read_name();
    if (name.empty())
        return;
    const rtti::TypeDesc& type = rtti::TypeRegistry::get_type(name);
    const std::uint32_t n = read_count(stream, 1);
    build(type, n, [&type, &stream](void* memory, std::uint32_t) {
        type.construct(memory);
        try {
            type.load_binary(stream, memory);
        } catch (...) {
            type.destroy(memory);
            throw;
        }
    });
}

}
