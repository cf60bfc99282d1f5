#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kq {

/// A vector of run-time length that keeps up to 16 bytes of elements (at least one element)
/// inline and moves to a heap block when it grows past that room.
template <class T>
class VectorD {
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

public:
    /// How many elements fit in the inline room.
    static constexpr std::uint32_t inline_room = sizeof(T) >= 16 ? 1 : 16 / sizeof(T);

    /// An empty vector in its inline room.
    VectorD() = default;
    /// A copy of the elements of `other`.
    VectorD(const VectorD& other) { copy_from(other); }
    /// Replaces the elements by copies of those of `other`.
    VectorD& operator=(const VectorD& other)
    {
        if (this != &other) {
            clear();
            copy_from(other);
        }
        return *this;
    }
    ~VectorD() { free_heap(); }

    /// The number of elements.
    std::uint32_t size() const { return m_size; }
    /// True when there is no element.
    bool empty() const { return m_size == 0; }
    /// The elements, contiguous, inline or on the heap.
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    /// Element `i` (below the size).
    T& operator[](std::uint32_t i) { return m_data[i]; }
    const T& operator[](std::uint32_t i) const { return m_data[i]; }
    /// The range of the elements.
    T* begin() { return m_data; }
    T* end() { return m_data + m_size; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_size; }

    /// True while the elements live in the inline room.
    bool is_inline() const { return m_data == m_room; }

    /// Makes room for `n` elements, keeping the present ones; nothing when they fit already.
    void reserve(std::uint32_t n)
    {
        if (n <= m_capacity)
            return;
        T* block = new T[n];
        std::memcpy(block, m_data, sizeof(T) * m_size);
        free_heap();
        m_data = block;
        m_capacity = n;
    }

    /// Sets the size to `n`; new elements are zero. At 0 the elements return to the inline room.
    void resize(std::uint32_t n)
    {
        if (n == 0) {
            clear();
            return;
        }
        reserve(n);
        if (n > m_size)
            std::memset(static_cast<void*>(m_data + m_size), 0, sizeof(T) * (n - m_size));
        m_size = n;
    }

    /// Removes every element and frees a heap block.
    void clear()
    {
        free_heap();
        m_size = 0;
    }

    /// Inserts one slot at `position` (at most the size) by moving the elements from there one
    /// up; the caller fills the slot.
    void make_room(std::uint32_t position)
    {
        reserve(m_size + 1);
        std::memmove(static_cast<void*>(m_data + position + 1), m_data + position, sizeof(T) * (m_size - position));
        ++m_size;
    }

private:
    void free_heap()
    {
        if (!is_inline())
            delete[] m_data;
        m_data = m_room;
        m_capacity = inline_room;
    }

    void copy_from(const VectorD& other)
    {
        reserve(other.m_size);
        std::memcpy(static_cast<void*>(m_data), other.m_data, sizeof(T) * other.m_size);
        m_size = other.m_size;
    }

    T m_room[inline_room]{};
    T* m_data = m_room;
    std::uint32_t m_size = 0;
    // The room of the present block, so that `make_room` can never write past it.
    std::uint32_t m_capacity = inline_room;
};

}
