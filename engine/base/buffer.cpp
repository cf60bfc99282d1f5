#include "engine/base/buffer.h"

#include <algorithm>
#include <cstring>

#include "engine/base/directories.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/host/system/file.h"

namespace kq {

namespace {

host::FileOpenMode host_mode(std::uint32_t mode)
{
    host::FileOpenMode open;
    open.create = mode & mode_create;
    open.append = mode & mode_append;
    open.read = mode & mode_read;
    open.write = mode & mode_write;
    open.exclusive = mode & (mode_deny_write | mode_deny_read);
    open.temporary = mode & mode_temporary;
    return open;
}

// The origins of the host's seek.
constexpr int seek_from_begin = 0;
constexpr int seek_from_current = 1;
constexpr int seek_from_end = 2;

constexpr std::uint32_t read_ahead_size = 16 * 1024;

int seek_whence(std::uint32_t origin)
{
    if (origin & seek_begin)
        return seek_from_begin;
    if (origin & seek_current)
        return seek_from_current;
    if (origin & seek_end)
        return seek_from_end;
    return seek_from_begin;
}

}

FileBuffer::FileBuffer(const std::string& path, std::uint32_t mode) : Buffer(mode), m_path(path)
{
    m_fd = host::open_file(path.c_str(), host_mode(mode));
    if (m_fd < 0) {
        StringStream text;
        text << "can not be opened (current directory is " << get_current_dir().str() << ")";
        throw IOException(path, text.str());
    }
}

FileBuffer::~FileBuffer()
{
    if (m_fd >= 0)
        host::close_file(m_fd);
}

std::uint32_t FileBuffer::write(const void* data, std::uint32_t n)
{
    drop_read_ahead();
    return static_cast<std::uint32_t>(std::max<std::int64_t>(host::write_file(m_fd, data, n), 0));
}

std::uint32_t FileBuffer::read(void* data, std::uint32_t n)
{
    auto* out = static_cast<char*>(data);
    const std::uint32_t done = take_read_ahead(out, n);
    if (done == n)
        return n;
    if (n - done >= read_ahead_size)
        return done + read_checked(out + done, n - done);
    fill_read_ahead();
    return done + take_read_ahead(out + done, n - done);
}

// A failing read must not pass for the end of the file: the reader would take what it has
// for the whole content.
std::uint32_t FileBuffer::read_checked(char* out, std::uint32_t n)
{
    const std::int64_t count = host::read_file(m_fd, out, n);
    if (count < 0)
        throw IOException(m_path, "can not be read: " + host::last_error_text());
    return static_cast<std::uint32_t>(count);
}

std::int64_t FileBuffer::seek(std::int32_t offset, std::uint32_t origin)
{
    const int whence = seek_whence(origin);
    if (whence == seek_from_current && m_ahead_end > 0) {
        const std::int64_t target = static_cast<std::int64_t>(m_ahead_pos) + offset;
        if (target >= 0 && target <= static_cast<std::int64_t>(m_ahead_end)) {
            m_ahead_pos = static_cast<std::size_t>(target);
            return m_ahead_start + target;
        }
    }
    drop_read_ahead();
    return host::seek_file(m_fd, offset, whence);
}

bool FileBuffer::is_eof()
{
    return m_ahead_pos == m_ahead_end && host::is_file_at_end(m_fd);
}

std::string FileBuffer::name() const
{
    StringStream text;
    text << "[file " << m_path << "]";
    return text.str();
}

std::uint64_t FileBuffer::size()
{
    return static_cast<std::uint64_t>(std::max<std::int64_t>(host::file_length(m_fd), 0));
}

std::uint32_t FileBuffer::take_read_ahead(char* out, std::uint32_t n)
{
    const std::size_t count = std::min<std::size_t>(n, m_ahead_end - m_ahead_pos);
    if (count == 0)
        return 0;
    std::memcpy(out, m_ahead.data() + m_ahead_pos, count);
    m_ahead_pos += count;
    return static_cast<std::uint32_t>(count);
}

void FileBuffer::fill_read_ahead()
{
    m_ahead.resize(read_ahead_size);
    m_ahead_start = host::seek_file(m_fd, 0, seek_from_current);
    m_ahead_pos = 0;
    m_ahead_end = 0;
    m_ahead_end = read_checked(m_ahead.data(), read_ahead_size);
}

// Puts the descriptor back where the reader stands, so writes and seeks start from there.
void FileBuffer::drop_read_ahead()
{
    if (m_ahead_end == 0)
        return;
    host::seek_file(m_fd, m_ahead_start + static_cast<std::int64_t>(m_ahead_pos), seek_from_begin);
    m_ahead_pos = 0;
    m_ahead_end = 0;
}

std::string read_all(Buffer& buffer)
{
    std::string content;
    // The size is a hint only: a file may grow or shrink while it is read.
    content.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), std::uint64_t(1) << 32)));
    char block[64 * 1024];
    while (const std::uint32_t n = buffer.read(block, sizeof block))
        content.append(block, n);
    return content;
}

StringBuffer::StringBuffer() : Buffer(mode_create | mode_write) {}

StringBuffer::StringBuffer(std::string text) : Buffer(mode_read), m_content(std::move(text)) {}

std::uint32_t StringBuffer::write(const void* data, std::uint32_t n)
{
    m_content.append(static_cast<const char*>(data), n);
    m_position += n;
    return n;
}

std::uint32_t StringBuffer::read(void* data, std::uint32_t n)
{
    if (m_position >= m_content.size())
        return 0;
    const std::size_t count = std::min<std::size_t>(n, m_content.size() - m_position);
    std::memcpy(data, m_content.data() + m_position, count);
    m_position += count;
    return static_cast<std::uint32_t>(count);
}

std::int64_t StringBuffer::seek(std::int32_t offset, std::uint32_t origin)
{
    const auto size = static_cast<std::int64_t>(m_content.size());
    auto position = static_cast<std::int64_t>(m_position);
    if (origin & seek_begin)
        position = offset;
    if (origin & seek_end)
        position = size - offset;
    if (origin & seek_current)
        position += offset;
    m_position = static_cast<std::size_t>(std::clamp<std::int64_t>(position, 0, size));
    return static_cast<std::int64_t>(m_position);
}

}
