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

int seek_whence(std::uint32_t origin)
{
    if (origin & seek_begin)
        return 0;
    if (origin & seek_current)
        return 1;
    if (origin & seek_end)
        return 2;
    return 0;
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
    return host::write_file(m_fd, data, n);
}

std::uint32_t FileBuffer::read(void* data, std::uint32_t n)
{
    return host::read_file(m_fd, data, n);
}

std::int64_t FileBuffer::seek(std::int32_t offset, std::uint32_t origin)
{
    return host::seek_file(m_fd, offset, seek_whence(origin));
}

bool FileBuffer::is_eof()
{
    return host::is_file_at_end(m_fd);
}

std::string FileBuffer::name() const
{
    StringStream text;
    text << "[file " << m_path << "]";
    return text.str();
}

std::uint32_t FileBuffer::size()
{
    return static_cast<std::uint32_t>(std::max<std::int64_t>(host::file_length(m_fd), 0));
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
