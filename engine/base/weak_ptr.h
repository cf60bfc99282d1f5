#pragma once

#include "engine/base/ref_counter.h"
#include "engine/base/shared_object.h"

namespace kq {

/// A weak handle on a `SharedObject`: keeps its block, not the object, and yields null once
/// the object is gone.
template <class T>
class WeakPtr {
public:
    /// An empty handle.
    WeakPtr() = default;

    /// Watches `object` (null: an empty handle) through the object's own block.
    explicit WeakPtr(T* object) : m_object(object)
    {
        if (object)
            m_counter = static_cast<SharedObject*>(object)->counter();
        RefCounter::link(m_counter);
    }

    /// Watches the object of `other`.
    WeakPtr(const WeakPtr& other) : m_object(other.m_object), m_counter(other.m_counter)
    {
        RefCounter::link(m_counter);
    }

    /// Watches the object of `other`; a handle already on that block is left as it is.
    WeakPtr& operator=(const WeakPtr& other)
    {
        if (other.m_counter == m_counter)
            return *this;
        RefCounter::link(other.m_counter);
        RefCounter::release(m_counter);
        m_object = other.m_object;
        m_counter = other.m_counter;
        return *this;
    }

    /// Drops the link on the block.
    ~WeakPtr() { RefCounter::release(m_counter); }

    /// The object while it lives; null once it is gone or for an empty handle.
    T* get() const { return m_counter && m_counter->m_pointer ? m_object : nullptr; }

    /// The count block, or null for an empty handle.
    RefCounter* counter() const { return m_counter; }

private:
    T* m_object = nullptr;
    RefCounter* m_counter = nullptr;
};

}
