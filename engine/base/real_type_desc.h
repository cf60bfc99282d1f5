#pragma once

#include "engine/base/value_form.h"

namespace kq::rtti {

/// The value operations of a descriptor of T over the descriptor kind Base: T's own default
/// and copy constructors and destructor, and the stream forms of `ValueForm<T>`.
template <class T, class Base>
class RealTypeDesc : public Base
{
public:
    using Base::Base;

    void* construct(void* memory) const override { return memory ? new (memory) T() : nullptr; }
    void destroy(void* object) const override { static_cast<T*>(object)->~T(); }
    void* copy(const void* source, void* memory) const override
    {
        return memory ? ValueForm<T>::copy(*static_cast<const T*>(source), memory) : nullptr;
    }
    std::size_t size() const override { return sizeof(T); }

    void store_text(TStream& stream, const void* object) const override
    {
        ValueForm<T>::store_text(stream, *static_cast<const T*>(object), this->name());
    }
    void store_binary(BStream& stream, const void* object) const override
    {
        ValueForm<T>::store_binary(stream, *static_cast<const T*>(object), this->name());
    }
    void load_text(TStream& stream, void* object) const override
    {
        ValueForm<T>::load_text(stream, *static_cast<T*>(object), this->name());
    }
    void load_binary(BStream& stream, void* object) const override
    {
        ValueForm<T>::load_binary(stream, *static_cast<T*>(object), this->name());
    }
};

/// The value operations of a descriptor of an abstract T: every one is refused.
template <class T, class Base>
class AbstractTypeDesc : public Base
{
public:
    using Base::Base;

    void* construct(void*) const override { refuse_abstract(this->name()); }
    void destroy(void*) const override { refuse_abstract(this->name()); }
    void* copy(const void*, void*) const override { refuse_abstract(this->name()); }
    std::size_t size() const override { refuse_abstract(this->name()); }
    void store_text(TStream&, const void*) const override { refuse_abstract(this->name()); }
    void store_binary(BStream&, const void*) const override { refuse_abstract(this->name()); }
    void load_text(TStream&, void*) const override { refuse_abstract(this->name()); }
    void load_binary(BStream&, void*) const override { refuse_abstract(this->name()); }
};

}
