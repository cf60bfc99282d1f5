#pragma once

#include <cstdint>
#include <string>

#include "engine/base/buffer.h"

namespace kq {

/// Reads and writes bytes through a buffer it does not own; failures become exceptions
/// naming the buffer.
class Stream
{
public:
    /// A stream over the buffer, which must outlive it.
    explicit Stream(Buffer& buffer) : m_buffer(&buffer) {}
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    virtual ~Stream() = default;

    /// The buffer's write.
    virtual std::uint32_t write(const void* data, std::uint32_t n) { return m_buffer->write(data, n); }
    /// The buffer's read.
    virtual std::uint32_t read(void* data, std::uint32_t n) { return m_buffer->read(data, n); }
    /// The buffer's end test.
    virtual bool is_eof() { return m_buffer->is_eof(); }
    /// The buffer's seek.
    virtual std::int64_t seek(std::int32_t offset, std::uint32_t origin) { return m_buffer->seek(offset, origin); }
    /// The buffer's position.
    virtual std::int64_t tell() { return m_buffer->seek(0, seek_current); }
    /// The buffer's size.
    virtual std::uint64_t size() { return m_buffer->size(); }
    /// Throws `IOException` "(in stream " + buffer name + ") " + message.
    [[noreturn]] virtual void error(const std::string& message);
    /// Forgets per-stream bookkeeping (nothing here).
    virtual void reset() {}

    /// The buffer the stream works on.
    Buffer& buffer() const { return *m_buffer; }

private:
    Buffer* m_buffer;
};

/// Writes a string as a 4-byte little-endian length and its bytes.
Stream& write_binary(Stream& stream, const std::string& text);

/// Reads a string written by `write_binary`; "unexpected end of buffer." when the length or
/// the characters run past the end.
Stream& read_binary(Stream& stream, std::string& text);

}
