#pragma once

#include <cstdint>

namespace kq {

/// The count block of a shared object: links to the block, strong handles, and the object
/// with the function that destroys it. Blocks come from the default `RefPool`.
struct RefCounter {
    using Deleter = void (*)(void*);

    /// A zeroed block from the default pool, or null when memory is exhausted.
    static RefCounter* allocate();

    /// Takes one more link on `block` (nothing for null).
    static void link(RefCounter* block);

    /// Drops the link held in `slot` (nothing for null) and sets it to null; the block goes
    /// back to the pool when no link is left.
    static void release(RefCounter*& slot);

    /// Makes the block own `object` when it owns nothing yet.
    template <class T>
    void own_if_empty(T* object)
    {
        if (m_pointer)
            return;
        m_pointer = object;
        m_deleter = [](void* pointer) { delete static_cast<T*>(pointer); };
    }

    /// Drops one strong use; at none, the owned object is forgotten and then destroyed.
    void drop_use();

    std::int32_t m_block_count = 0;
    std::uint32_t m_use_count = 0;
    Deleter m_deleter = nullptr;
    void* m_pointer = nullptr;
};

}
