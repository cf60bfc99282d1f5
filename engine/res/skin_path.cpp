#include "engine/res/skin_path.h"

#include <algorithm>
#include <functional>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

bool is_name_char(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= '_' && c <= 'z');
}

}

SkinPath::SkinPath(const char* text)
{
    parse(*this, text);
}

SkinPath::SkinPath(const std::string& text)
{
    parse(*this, text.c_str());
}

SkinPath::SkinPath(const SkinPath& base, StrCache name) : SkinPath(base)
{
    insert(m_size, name);
}

SkinPath::SkinPath(const SkinPath& other)
{
    *this = other;
}

SkinPath& SkinPath::operator=(const SkinPath& other)
{
    if (this == &other)
        return *this;
    set_size(0);
    set_size(other.m_size);
    std::copy(other.begin(), other.end(), m_data);
    return *this;
}

SkinPath::~SkinPath()
{
    set_size(0);
}

void SkinPath::parse(SkinPath& path, const char* text)
{
    path.resize(0);
    std::string name;
    for (const char* p = text; *p;) {
        name.clear();
        for (; *p && *p != '.'; ++p) {
            if (!is_name_char(static_cast<unsigned char>(*p)))
                throw CoreException("invalid path [" + std::string(text) + "] format");
            name += *p;
        }
        path.insert(path.size(), StrCache(name.c_str()));
        if (*p == '.')
            ++p;
    }
}

void SkinPath::set_size(std::size_t size)
{
    StrCache* target = size <= inline_capacity ? m_inline : new StrCache[size];
    std::size_t kept = std::min(m_size, size);
    if (target != m_data)
        std::copy(m_data, m_data + kept, target);
    std::fill(target + kept, target + size, StrCache());
    if (on_heap() && target != m_data)
        delete[] m_data;
    m_data = target;
    m_size = size;
}

void SkinPath::resize(std::size_t size)
{
    set_size(size);
}

void SkinPath::insert(std::size_t position, StrCache name)
{
    set_size(m_size + 1);
    std::copy_backward(m_data + position, m_data + m_size - 1, m_data + m_size);
    m_data[position] = name;
}

void SkinPath::erase(std::size_t position)
{
    std::copy(m_data + position + 1, m_data + m_size, m_data + position);
    set_size(m_size - 1);
}

bool SkinPath::starts_with(const SkinPath& prefix) const
{
    return prefix.m_size <= m_size && std::equal(prefix.begin(), prefix.end(), m_data);
}

SkinPath SkinPath::resolve(const SkinPath& base) const
{
    if (empty())
        return base;
    if (!is_relative())
        return *this;
    return base + sub_path(*this, 1, m_size - 1);
}

std::string SkinPath::text() const
{
    std::string result;
    for (std::size_t i = 0; i < m_size; ++i) {
        if (i > 0)
            result += '.';
        result += m_data[i].c_str();
    }
    return result;
}

bool operator==(const SkinPath& a, const SkinPath& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator<(const SkinPath& a, const SkinPath& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), std::less<StrCache>());
}

SkinPath operator+(const SkinPath& a, const SkinPath& b)
{
    SkinPath result;
    result.resize(a.size() + b.size());
    std::copy(b.begin(), b.end(), std::copy(a.begin(), a.end(), &result[0]));
    return result;
}

SkinPath operator+(const SkinPath& base, const char* text)
{
    return base + SkinPath(text);
}

SkinPath sub_path(const SkinPath& path, std::size_t start, std::size_t count)
{
    SkinPath result;
    result.resize(count);
    std::copy(path.begin() + start, path.begin() + start + count, &result[0]);
    return result;
}

void resolve_in_place(const SkinPath& path, SkinPath& base)
{
    base = path.resolve(base);
}

TStream& operator<<(TStream& stream, const SkinPath& path)
{
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0)
            stream.put_char('.');
        stream << path[i].c_str();
    }
    return stream;
}

void write_path_token(TStream& stream, const SkinPath& path)
{
    if (path.empty()) {
        stream << std::string();
        return;
    }
    stream << path;
    if (path[path.size() - 1].empty())
        stream.put_char('.');
}

TStream& operator>>(TStream& stream, SkinPath& path)
{
    std::string token = stream.read_token();
    // The parser stops at a zero byte; as a path character it is as invalid as any other.
    if (token.find('\0') != std::string::npos)
        stream.error("invalid path [" + token + "] format");
    try {
        SkinPath::parse(path, token.c_str());
    } catch (const CoreException& e) {
        stream.error(e.message());
    }
    return stream;
}

void write_binary(BStream& stream, const SkinPath& path)
{
    write_u32(stream, static_cast<std::uint32_t>(path.size()));
    for (StrCache name : path)
        write_binary(stream, name);
}

void read_binary(BStream& stream, SkinPath& path)
{
    // Each name takes at least its 4-byte id.
    std::uint32_t count = read_count(stream, 4);
    path.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        read_binary(stream, path[i]);
}

}
