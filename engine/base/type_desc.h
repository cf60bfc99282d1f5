#pragma once

#include <cstddef>

#include "engine/base/str_cache.h"

namespace kq {

class TStream;
class BStream;

namespace rtti {

/// The descriptor of one registered type: builds, copies, sizes, streams and tests values of
/// the type given as untyped pointers.
class TypeDesc
{
public:
    /// A descriptor of the type of this registered name.
    explicit TypeDesc(StrCache name) : m_name(name) {}
    TypeDesc(const TypeDesc&) = delete;
    TypeDesc& operator=(const TypeDesc&) = delete;
    virtual ~TypeDesc() = default;

    /// Default-constructs a value in raw memory and returns it; null memory gives null.
    virtual void* construct(void* memory) const = 0;
    /// Ends the value's lifetime in place; the memory stays.
    virtual void destroy(void* object) const = 0;
    /// Copy-constructs a value from source into raw memory and returns it; null memory gives null.
    virtual void* copy(const void* source, void* memory) const = 0;
    /// The bytes a value occupies.
    virtual std::size_t size() const = 0;
    /// Writes the value in the text data format.
    virtual void store_text(TStream& stream, const void* object) const = 0;
    /// Writes the value in binary.
    virtual void store_binary(BStream& stream, const void* object) const = 0;
    /// Reads the value from the text data format into an existing value.
    virtual void load_text(TStream& stream, void* object) const = 0;
    /// Reads the value from binary into an existing value.
    virtual void load_binary(BStream& stream, void* object) const = 0;
    /// The object seen as the named type when the described type is or derives from it, else null.
    virtual void* cast(void* object, StrCache name) const;
    /// Whether the described type is the named type or derives from it.
    virtual bool is_type(StrCache name) const;

    /// The registered name.
    StrCache name() const { return m_name; }
    /// Makes the descriptor findable as a type also under the alias.
    void add_alias(const char* alias) const;

private:
    StrCache m_name;
};

}

}
