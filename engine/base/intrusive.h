#pragma once

#include <cstdint>

namespace kq {

/// An object counted by the links held on it (usable with boost::intrusive_ptr).
class IntrusiveTarget {
public:
    IntrusiveTarget() = default;
    /// A copy is a new object: it starts with no links.
    IntrusiveTarget(const IntrusiveTarget&) {}
    /// Assignment leaves the links of the target as they are.
    IntrusiveTarget& operator=(const IntrusiveTarget&) { return *this; }

    /// The number of links held on this object.
    std::int32_t links() const { return m_links; }

    /// Takes one more link on `target`.
    friend void intrusive_ptr_add_ref(IntrusiveTarget* target) { ++target->m_links; }

protected:
    ~IntrusiveTarget() = default;
    /// Drops one link; true when none is left.
    bool drop_link() { return --m_links < 1; }

private:
    std::int32_t m_links = 0;
};

/// An intrusively counted object that deletes itself when its last link is released.
class IntrusivePolymorph : public IntrusiveTarget {
public:
    virtual ~IntrusivePolymorph() = default;

    /// Drops one link on `target`, deleting it when none is left.
    friend void intrusive_ptr_release(IntrusivePolymorph* target)
    {
        if (target->drop_link())
            delete target;
    }
};

}
