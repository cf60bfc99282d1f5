#pragma once

#include "engine/base/str_cache.h"
#include "engine/res/skin_path.h"

namespace kq {

class Control;

/// How a control is set up once it is fully constructed (`Control::set_up`): its skin path
/// and, for a child, its parent. The set-up runs when it is applied, never from a
/// destructor, so the skin reader's errors reach the code that builds the control.
class ControlIniter
{
public:
    virtual ~ControlIniter() = default;

    /// Sets the control up; throws what reading its skin throws.
    virtual void apply(Control& control) const = 0;
};

/// An independent control with an absolute path, read at once (an empty path is left alone).
class CIIndependent : public ControlIniter
{
public:
    explicit CIIndependent(const SkinPath& path) : m_path(path) {}

    void apply(Control& control) const override;

private:
    SkinPath m_path;
};

/// A control whose node is the child `name` of its parent's node: it reads its skin as soon
/// as the parent's path is known. The control is not attached.
class CIDependent : public ControlIniter
{
public:
    CIDependent(Control* parent, StrCache name) : m_parent(parent), m_name(name) {}
    CIDependent(Control* parent, const char* name) : CIDependent(parent, StrCache(name)) {}

    void apply(Control& control) const override;

protected:
    Control* m_parent;
    StrCache m_name;
};

/// As `CIDependent`, and the control is attached to the parent. With the empty name the
/// control keeps whatever path it has and is only attached.
class CIChild : public CIDependent
{
public:
    using CIDependent::CIDependent;

    void apply(Control& control) const override;
};

}
