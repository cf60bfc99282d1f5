#pragma once

#include "engine/base/type_name.h"
#include "engine/base/weak_ptr.h"
#include "game/field/objects/item.h"

namespace kq {

class Vimu;

/// A charge waiting in place until the piece just launched passes close by; it then clings
/// to that piece and rides with it while the piece stays struck, and leaves the field once the
/// piece's strike is over. A piece that dies under it leaves it waiting where it is.
class Charge : public Item
{
public:
    /// How close the launched piece must pass to catch the charge, pixels (strictly closer).
    static constexpr float capture_distance = 32.0f;

    Charge() = default;
    /// Copies the item part and shares the holder.
    Charge(const Charge& other) = default;

    /// The item's update; then catches the last launched piece passing close, or leaves when
    /// the piece it clings to is no longer struck, and rides with its piece.
    void update(int dt) override;

    /// The piece the charge clings to, or null.
    Vimu* holder() const { return m_holder.get(); }

private:
    WeakPtr<Vimu> m_holder;
};

}

KQ_TYPE_NAME(kq::Charge, "class kq::Charge");
