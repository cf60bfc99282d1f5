#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/base/id_index.h"
#include "engine/base/stream.h"

namespace kq {

/// A stream that remembers which shared objects it has written or read, by id, so that each
/// object is stored once and later met as a reference.
class AutoStream : public Stream
{
public:
    /// A stream over the buffer with no objects known and the id counter at 0.
    explicit AutoStream(Buffer& buffer) : Stream(buffer) {}

    /// The id of a known object, or -1.
    std::int32_t find_id(const void* object) const;
    /// The object known by this id, or null.
    void* find_object(std::int32_t id) const
    {
        const auto index = static_cast<std::size_t>(static_cast<std::uint32_t>(id));
        return index < m_objects.size() ? m_objects[index] : nullptr;
    }
    /// Records the object under an id handed out by `new_id`, in both directions.
    void bind_object(void* object, std::int32_t id)
    {
        const auto index = static_cast<std::size_t>(static_cast<std::uint32_t>(id));
        m_objects.at(index) = object;
        if (index < m_indexed)
            m_ids.add(object, id);
    }
    /// Hands out the next id of the counter; ids count up from 0.
    std::int32_t new_id() { return add_object(nullptr); }
    /// Hands out the next id and records the object under it, as `new_id` and `bind_object`.
    std::int32_t add_object(void* object)
    {
        m_objects.push_back(object);
        return static_cast<std::int32_t>(m_objects.size() - 1);
    }
    /// Forgets every object and restarts the counter at 0.
    void reset() override;

private:
    void index_new_ids() const;

    // Ids count up from 0, so the objects are a table indexed by id and the counter is its
    // size: reading a large file then costs no allocation per object.
    std::vector<void*> m_objects;
    // Only writers ask for the id of an object, so this index is brought up to date when
    // asked, and a stream that only reads never builds it.
    mutable IdIndex m_ids;
    mutable std::size_t m_indexed = 0;   ///< ids entered in `m_ids` so far
};

}
