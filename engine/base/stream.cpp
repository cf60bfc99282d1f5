#include "engine/base/stream.h"

#include "engine/base/exception.h"

namespace kq {

namespace {

constexpr const char* end_of_buffer = "unexpected end of buffer.";

// Bytes of the buffer not yet read, for checking a stored length before trusting it.
std::int64_t bytes_left(Stream& stream)
{
    return static_cast<std::int64_t>(stream.size()) - stream.tell();
}

void write_length(Stream& stream, std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    stream.write(bytes, 4);
}

std::uint32_t read_length(Stream& stream)
{
    unsigned char bytes[4] = {};
    if (stream.read(bytes, 4) != 4)
        stream.error(end_of_buffer);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
}

}

void Stream::error(const std::string& message)
{
    throw IOException("(in stream " + m_buffer->name() + ") " + message);
}

Stream& write_binary(Stream& stream, const std::string& text)
{
    write_length(stream, static_cast<std::uint32_t>(text.size()));
    stream.write(text.data(), static_cast<std::uint32_t>(text.size()));
    return stream;
}

Stream& read_binary(Stream& stream, std::string& text)
{
    const std::uint32_t length = read_length(stream);
    // A damaged length must not make us allocate gigabytes or keep a half-filled string.
    if (length > bytes_left(stream))
        stream.error(end_of_buffer);
    std::string read(length, '\0');
    if (stream.read(read.data(), length) != length)
        stream.error(end_of_buffer);
    text = std::move(read);
    return stream;
}

}
