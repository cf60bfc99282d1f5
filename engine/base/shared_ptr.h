#pragma once

#include "engine/base/ref_counter.h"
#include "engine/base/shared_object.h"

#include <type_traits>

namespace kq {

/// A strong handle: the object dies when the last strong handle on its block goes.
template <class T>
class SharedPtr {
public:
    /// An empty handle.
    SharedPtr() = default;

    /// Owns `object` (null: an empty handle). A `SharedObject` shares its own block.
    explicit SharedPtr(T* object) : m_object(object)
    {
        if (!object)
            return;
        if constexpr (std::is_base_of_v<SharedObject, T>) {
            m_counter = static_cast<SharedObject*>(object)->counter();
        } else {
            m_counter = RefCounter::allocate();
            if (m_counter)
                m_counter->own_if_empty(object);
        }
        take_use();
    }

    /// Shares `counter` with the handles that hold it; the block takes `object` when it owns
    /// nothing yet (how a binary stream rebuilds shared handles).
    SharedPtr(T* object, RefCounter* counter) : m_object(object), m_counter(counter)
    {
        if (m_counter && object) {
            if constexpr (std::is_base_of_v<SharedObject, T>)
                m_counter->own_if_empty(static_cast<SharedObject*>(object));
            else
                m_counter->own_if_empty(object);
        }
        take_use();
    }

    /// Shares the block of `other`.
    SharedPtr(const SharedPtr& other) : m_object(other.m_object), m_counter(other.m_counter)
    {
        take_use();
    }

    /// Shares the block of `other`, seen as its base `T`.
    template <class U>
        requires std::is_convertible_v<U*, T*>
    SharedPtr(const SharedPtr<U>& other) : m_object(other.m_object), m_counter(other.m_counter)
    {
        take_use();
    }

    /// Shares the block of `other`; a handle already on that block is left entirely as it is.
    SharedPtr& operator=(const SharedPtr& other)
    {
        if (other.m_counter == m_counter)
            return *this;
        SharedPtr taken(other);
        reset();
        m_object = taken.m_object;
        m_counter = taken.m_counter;
        taken.m_object = nullptr;
        taken.m_counter = nullptr;
        return *this;
    }

    /// Drops this handle, as `reset`.
    ~SharedPtr() { reset(); }

    /// Empties the handle; the object dies if this was its last strong handle.
    void reset()
    {
        if (m_counter)
            m_counter->drop_use();
        RefCounter::release(m_counter);
        m_object = nullptr;
    }

    /// The object, or null.
    T* get() const { return m_object; }
    /// The object, which must not be null.
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    /// True when the handle holds an object.
    explicit operator bool() const { return m_object != nullptr; }

    /// The count block, or null for an empty handle.
    RefCounter* counter() const { return m_counter; }

    /// True when both handles hold the same object (or none).
    friend bool operator==(const SharedPtr& a, const SharedPtr& b) { return a.m_object == b.m_object; }

private:
    template <class U>
    friend class SharedPtr;

    void take_use()
    {
        if (!m_counter)
            return;
        RefCounter::link(m_counter);
        ++m_counter->m_use_count;
    }

    T* m_object = nullptr;
    RefCounter* m_counter = nullptr;
};

}
