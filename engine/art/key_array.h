#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/base/str_cache.h"
#include "engine/base/vector_d.h"

namespace kq {

class BStream;
class TStream;

namespace rtti {
class TypeDesc;
}

/// The value of a key of a key controller: an array of elements of one registered type, or
/// an untyped array without elements. Elements are built, copied, destroyed and streamed
/// only through the type's descriptor; the count is the storage size over the type's size.
class KeyArray
{
public:
    /// Untyped and empty, without a bend.
    KeyArray() = default;
    /// `count` default-built elements of the type.
    KeyArray(const rtti::TypeDesc& type, std::uint32_t count);
    /// The type and a copy of every element.
    KeyArray(const KeyArray& other);
    KeyArray& operator=(const KeyArray& other);
    ~KeyArray() { clear(); }

    /// A "float" array of the vector's elements.
    static KeyArray floats(const VectorD<float>& values);
    /// A one-element "int" array.
    static KeyArray of_int(std::int32_t value);

    /// Destroys every element, frees the storage and forgets the type.
    void clear();

    /// The element type, or null when untyped.
    const rtti::TypeDesc* type() const { return m_type; }
    /// The type's name, or "" when untyped.
    StrCache type_name() const;
    /// The number of elements.
    std::uint32_t count() const;
    /// The first element, or null when untyped.
    const void* data() const { return m_type ? m_bytes.data() : nullptr; }
    /// Element i (below the count).
    void* element(std::uint32_t i);
    const void* element(std::uint32_t i) const;
    /// Whether the elements are of the registered type of that name.
    bool holds(StrCache name) const { return m_type && type_name() == name; }
    /// The elements as floats when they are floats; otherwise no elements.
    VectorD<float> to_floats() const;
    /// A one-element array of the same type holding element n (a default element when there
    /// is no element n); an untyped array stays untyped.
    KeyArray element_array(std::uint32_t n) const;

    /// The type name, "{", the elements in their type's text form, "}".
    void write_text(TStream& stream) const;
    /// Reads the text form; an empty type name gives an untyped, empty array.
    void read_text(TStream& stream);
    /// The type name as an interned string ("" for untyped, and nothing follows), the u32
    /// count and each element in its type's binary form.
    void store(BStream& stream) const;
    /// Reads the binary form; a count that cannot fit in what is left is "unexpected end of
    /// buffer." before anything is built.
    void load(BStream& stream);

    /// The curve shape of a key of a curve spline; -1 when the key has none.
    float bend = -1.0f;

private:
    // Builds `count` elements in fresh storage; `build` makes element i in raw memory.
    template <class Build>
    void build(const rtti::TypeDesc& type, std::uint32_t count, Build build);

    const rtti::TypeDesc* m_type = nullptr;
    VectorD<std::uint8_t> m_bytes;
};

}
