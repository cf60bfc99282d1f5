#pragma once

namespace kq {

class Stream;

/// One or more levels deeper in a recursive read of skin data (nested nodes, function
/// arguments), for the lifetime of the object. Reads stop with the stream error "skin data
/// nested too deeply." past `limit` levels, so hostile input cannot exhaust the stack.
class SkinNesting
{
public:
    /// Levels of nesting that reading accepts.
    static constexpr unsigned limit = 256;

    /// Enters `levels` levels; fails through `stream` past the limit.
    SkinNesting(Stream& stream, unsigned levels);
    SkinNesting(const SkinNesting&) = delete;
    SkinNesting& operator=(const SkinNesting&) = delete;
    ~SkinNesting();

private:
    unsigned m_levels;
};

}
