#pragma once

#include <string>

#include "engine/base/buffer.h"
#include "engine/base/tstream.h"

namespace kq {

namespace detail {

// Holds the buffer in a base that is built before, and destroyed after, the stream over it.
struct StringBufferHolder
{
    StringBufferHolder() = default;
    explicit StringBufferHolder(std::string text) : m_string_buffer(std::move(text)) {}

    StringBuffer m_string_buffer;
};

}

/// A text stream over its own string buffer: the builder of messages, or a reader of a text.
class StringStream : private detail::StringBufferHolder, public TStream
{
public:
    /// An empty stream to write into.
    StringStream() : TStream(m_string_buffer) {}
    /// A reader of a copy of the text, its first token already scanned.
    explicit StringStream(std::string text)
        : detail::StringBufferHolder(std::move(text)), TStream(m_string_buffer)
    {
    }

    /// Everything written (or the whole text read).
    const std::string& str() const { return m_string_buffer.str(); }
};

}
