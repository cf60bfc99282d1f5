#pragma once

namespace kq {

class TStream;

/// An object with its own form in the text data format.
class TextIO
{
public:
    virtual ~TextIO() = default;

    /// Writes the object's own text.
    virtual void write_text(TStream& stream) const = 0;
    /// Reads the object's own text into this object.
    virtual void read_text(TStream& stream) = 0;
};

}
