#pragma once

#include <cstdint>
#include <string>

namespace kq {

class TStream;

/// What names one file of a resource type: its path (`FilePath` form) and the flags that its
/// loader interprets.
struct ResKey
{
    std::string m_path;
    std::int32_t m_flags = 0;
};

/// By path (byte-wise), then by flags compared as unsigned numbers.
bool operator<(const ResKey& a, const ResKey& b);
/// Equal paths and equal flags.
bool operator==(const ResKey& a, const ResKey& b);

/// Writes the path as a string token, a blank, then the flags as an integer.
TStream& operator<<(TStream& stream, const ResKey& key);
/// Reads a path token (lower-cased, slashes) and an integer token (with its radix letter).
TStream& operator>>(TStream& stream, ResKey& key);

}
