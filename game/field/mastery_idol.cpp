#include "game/field/mastery_idol.h"

namespace kq {

void MasteryIdol::add_mastery(int points)
{
    if (m_turn_points.empty())
        m_turn_points.push_back(0);
    m_turn_points.back() += points;
}

}
