#pragma once

#include <deque>

#include "engine/base/type_name.h"
#include "game/field/idol.h"

namespace kq {

/// The idol that rewards skilful play: the field hands it mastery points for every combo and
/// chain bonus, which it keeps by turn.
class MasteryIdol : public Idol
{
public:
    /// Adds the points to the current turn's count, made at 0 on first use.
    void add_mastery(int points);

    /// Mastery points per turn, oldest first; the last entry is the current turn's.
    const std::deque<int>& turn_points() const { return m_turn_points; }

private:
    std::deque<int> m_turn_points;
};

}

KQ_TYPE_NAME(kq::MasteryIdol, "class kq::MasteryIdol");
