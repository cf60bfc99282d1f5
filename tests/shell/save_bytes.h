#pragma once

// Builds save-file bytes field by field, as the file's layout describes them.
#include <bit>
#include <cstdint>
#include <string>

namespace kq::test {

class SaveBytes
{
public:
    SaveBytes& u8(std::uint8_t value)
    {
        m_bytes += static_cast<char>(value);
        return *this;
    }
    SaveBytes& u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
    SaveBytes& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    SaveBytes& f32(float value) { return u32(std::bit_cast<std::uint32_t>(value)); }
    SaveBytes& text(const std::string& value)
    {
        u32(static_cast<std::uint32_t>(value.size()));
        m_bytes += value;
        return *this;
    }
    /// An interned name at its first appearance.
    SaveBytes& new_name(std::uint32_t id, const std::string& value) { return u32(id).u8(0).text(value); }

    const std::string& str() const { return m_bytes; }

private:
    std::string m_bytes;
};

}
