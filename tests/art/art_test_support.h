#pragma once

// Small helpers shared by the sprite tree tests: binary round trips, raw byte streams and a
// tree member that carries a logic of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine/art/sprite_base.h"
#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/exception.h"

namespace kq::test {

/// Little-endian bytes of a 32-bit word.
inline std::string le32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

/// One byte.
inline std::string u8(std::uint8_t value)
{
    return std::string(1, static_cast<char>(value));
}

/// The message of the exception that `action` throws, or "" when it throws none.
inline std::string error_of(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.message();
    }
    return "";
}

/// Writes the object's own binary form (without a reference header) and returns the bytes.
template <class T>
std::string own_bytes(const T& object)
{
    StringBuffer buffer;
    BStream stream(buffer);
    object.store(stream);
    return buffer.str();
}

/// Reads the bytes as the object's own binary form into `object`.
template <class T>
void load_bytes(T& object, const std::string& bytes)
{
    StringBuffer buffer(bytes);
    BStream stream(buffer);
    object.load(stream);
}

/// A tree member that answers its own logic (as a sprite with a logic does).
class LogicHolder : public SpriteBase
{
public:
    SpriteLogic* logic() override { return m_logic ? m_logic.get() : SpriteBase::logic(); }

    SpriteLogicPtr m_logic;
};

}
