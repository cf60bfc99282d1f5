#include "engine/base/file_path.h"

#include <algorithm>

#include <boost/algorithm/string/case_conv.hpp>

#include "engine/base/exception.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

bool is_network_path(const std::string& text)
{
    return text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
}

}

void FilePath::assign(const std::string& text)
{
    m_text = text;
    if (m_text.empty() || m_text[0] != '/')
        boost::algorithm::to_lower(m_text);
    const auto first = m_text.begin() + (is_network_path(m_text) ? 2 : 0);
    std::replace(first, m_text.end(), '\\', '/');
}

std::size_t FilePath::root_length() const
{
    const std::size_t slash = m_text.find('/');
    if (slash == std::string::npos)
        return 0;
    if (m_text[0] == '/')
        return 1;
    if (is_network_path(m_text))
        return slash + 1;
    const std::size_t drive = m_text.find(":/");
    return drive == std::string::npos ? 0 : drive + 2;
}

std::size_t FilePath::filename_start() const
{
    const std::size_t slash = m_text.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::size_t FilePath::extension_dot() const
{
    const std::size_t dot = m_text.rfind('.');
    return dot == std::string::npos || dot < filename_start() ? std::string::npos : dot;
}

std::string FilePath::stem() const
{
    const std::size_t start = filename_start();
    const std::size_t dot = extension_dot();
    return m_text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string FilePath::extension() const
{
    const std::size_t dot = extension_dot();
    return dot == std::string::npos ? std::string() : m_text.substr(dot + 1);
}

void FilePath::set_stem(const std::string& stem)
{
    const std::size_t start = filename_start();
    const std::size_t dot = extension_dot();
    const std::size_t end = dot == std::string::npos ? m_text.size() : dot;
    m_text.replace(start, end - start, stem);
}

void FilePath::set_extension(const std::string& extension)
{
    const std::size_t dot = extension_dot();
    if (dot == std::string::npos || dot + 1 == m_text.size())
        m_text += "." + extension;
    else
        m_text.replace(dot + 1, std::string::npos, extension);
    if (!m_text.empty() && m_text.back() == '.')
        m_text.pop_back();
}

std::uint32_t FilePath::directory_count() const
{
    const std::size_t start = root_length();
    const std::size_t end = std::max(start, filename_start());
    return static_cast<std::uint32_t>(std::count(m_text.begin() + start, m_text.begin() + end, '/'));
}

std::string FilePath::subdirectory(std::uint32_t index) const
{
    const std::uint32_t count = directory_count();
    if (count == 0)
        throw IOException(m_text, "path is non-canonical");
    if (index >= count)
        throw IOException(m_text, "subdirectory index is out of range");
    std::size_t start = root_length();
    for (std::uint32_t i = 0; i < index; ++i)
        start = m_text.find('/', start) + 1;
    const std::size_t end = m_text.find('/', start) + 1;
    return m_text.substr(start, end - start);
}

FilePath join_path(const FilePath& folder, const std::string& rest)
{
    FilePath tail(rest);
    if (folder.empty() || tail.is_absolute())
        return tail;
    // Both parts are canonical already, and a folder from the host keeps its case as a
    // path rooted at "/", so assigning the joined text changes neither.
    const char* separator = folder.str().back() == '/' ? "" : "/";
    return FilePath(folder.str() + separator + tail.str());
}

TStream& operator<<(TStream& stream, const FilePath& path)
{
    return stream << path.str();
}

TStream& operator>>(TStream& stream, FilePath& path)
{
    std::string token;
    stream.take_token(token);
    path.assign(token);
    return stream;
}

Stream& write_binary(Stream& stream, const FilePath& path)
{
    return write_binary(stream, path.str());
}

Stream& read_binary(Stream& stream, FilePath& path)
{
    return read_binary(stream, path.m_text);
}

}
