#pragma once

#include <cstdint>
#include <memory>

#include "engine/base/buffer.h"
#include "engine/base/shared_ptr.h"

namespace kq {

class ResSource;

/// A resource file opened by a source: its buffer, its modification time (nanoseconds since
/// the epoch) and the source that opened it. Empty (no buffer) when the file was not found.
struct ResStream
{
    std::unique_ptr<Buffer> m_buffer;
    std::int64_t m_time = 0;
    SharedPtr<ResSource> m_source;

    /// Whether a file was opened.
    explicit operator bool() const { return m_buffer != nullptr; }
};

}
