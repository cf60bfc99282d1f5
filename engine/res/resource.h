#pragma once

namespace kq {

/// Base of every object that `Res` loads and shares.
class Resource
{
public:
    virtual ~Resource() = default;

    /// Called once after a loader made the object, with its folder searched first: loads
    /// what the resource itself names. Does nothing by default.
    virtual void resolve() {}
};

}
