#pragma once

namespace kq {

class SkinPath;

/// An object that reads its settings from the children of a skin node.
class SkinIO
{
public:
    virtual ~SkinIO() = default;

    /// Reads the object's keys relative to the node at the path; does nothing by default.
    virtual void read_skin(const SkinPath& path);
};

/// Has the object read itself from the node at the path.
void load_from_skin(SkinIO& object, const SkinPath& path);

}
