#pragma once

// Builds texture atlas files in their binary form, field by field.

#include <cstdint>
#include <string>

namespace kq::test {

/// Little-endian bytes appended field by field.
struct AtlasBytes
{
    AtlasBytes& u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes += char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    AtlasBytes& text(const std::string& s)
    {
        u32(std::uint32_t(s.size()));
        bytes += s;
        return *this;
    }
    /// A page header: marker, texture path, flags, sprite count.
    AtlasBytes& page(const std::string& path, std::int32_t flags, std::uint32_t sprites)
    {
        bytes += std::string(2, '\0');
        return text(path).u32(std::uint32_t(flags)).u32(sprites);
    }
    AtlasBytes& sprite(const std::string& name, int x, int y, int w, int h)
    {
        return text(name).u32(std::uint32_t(x)).u32(std::uint32_t(y)).u32(std::uint32_t(w)).u32(std::uint32_t(h));
    }

    std::string bytes;
};

}
