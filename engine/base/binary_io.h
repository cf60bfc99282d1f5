#pragma once

namespace kq {

class BStream;

/// An object with its own binary form, read and written through the binary object stream.
class BinaryIO
{
public:
    virtual ~BinaryIO() = default;

    /// Writes the object's own data.
    virtual void store(BStream& stream) const = 0;
    /// Reads the object's own data into this object.
    virtual void load(BStream& stream) = 0;
};

}
