#pragma once

#include <cstdint>

#include "engine/base/shared_object.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/weak_ptr.h"
#include "engine/res/resource.h"

namespace kq {

class ResLoader;
class ResSource;

/// One loaded file: the resource, the time of the file it came from, the source and loader
/// that made it (weakly), and how many handles use it.
class ResRecord : public SharedObject
{
public:
    /// A record with no use yet.
    ResRecord(SharedPtr<Resource> resource, std::int64_t time, ResSource* source, ResLoader* loader);

    /// The loaded object.
    const SharedPtr<Resource>& resource() const { return m_resource; }
    /// The modification time of the file it was read from (nanoseconds since the epoch).
    std::int64_t time() const { return m_time; }
    /// The source that opened the file, or null when it is gone (or there was none).
    ResSource* source() const { return m_source.get(); }
    /// The loader that made it, or null when it is gone (or there was none).
    ResLoader* loader() const { return m_loader.get(); }
    /// The number of handles that hold it.
    int use_count() const { return m_use_count; }

    /// One more handle holds it.
    void add_use() { ++m_use_count; }
    /// One handle less; returns the uses left (never below 0).
    int remove_use() { return m_use_count > 0 ? --m_use_count : 0; }

private:
    SharedPtr<Resource> m_resource;
    std::int64_t m_time;
    WeakPtr<ResSource> m_source;
    WeakPtr<ResLoader> m_loader;
    int m_use_count = 0;
};

}
