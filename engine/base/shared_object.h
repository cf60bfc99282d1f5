#pragma once

#include "engine/base/binary_io.h"
#include "engine/base/ref_counter.h"

namespace kq {

/// Base of engine objects that carry their own count block, shared by every handle made from
/// them, so that the object keeps one identity (also across binary streams: its own binary
/// form is that block by reference, which a derived class's form includes by calling it).
class SharedObject : public BinaryIO {
public:
    SharedObject() = default;
    /// A copy is a new object with an identity (a block) of its own.
    SharedObject(const SharedObject&) {}
    /// Assignment keeps the target's identity.
    SharedObject& operator=(const SharedObject&) { return *this; }
    /// Drops the object's own link; weak handles left on the block then yield null.
    virtual ~SharedObject();

    /// The object's own block (made on first use, null when memory is exhausted); the block
    /// owns this object whenever it owns nothing else.
    RefCounter* counter();

    /// Writes the object's own block as a count block reference.
    void store(BStream& stream) const override;
    /// Reads a count block reference and makes it the object's own block; a block that
    /// already owns another object is the stream error "count block shared by two objects.".
    void load(BStream& stream) override;

    /// Moves the object's own link to `block` (a block read back from a binary stream); the
    /// old block no longer owns the object, so weak handles on it yield null from then on.
    void replace_counter(RefCounter* block);

private:
    void leave_counter();

    RefCounter* m_counter = nullptr;
};

}
