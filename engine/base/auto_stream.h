#pragma once

#include <cstdint>
#include <map>

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
    void* find_object(std::int32_t id) const;
    /// Records the object under the id, in both directions.
    void bind_object(void* object, std::int32_t id);
    /// Hands out the next id of the counter.
    std::int32_t new_id() { return m_next_id++; }
    /// Forgets every object and restarts the counter at 0.
    void reset() override;

private:
    std::map<const void*, std::int32_t> m_ids;
    std::map<std::int32_t, void*> m_objects;
    std::int32_t m_next_id = 0;
};

}
