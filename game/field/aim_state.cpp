#include "game/field/aim_state.h"

#include <utility>

namespace kq {

void AimState::clamp_aim_point(const Vector2<float>& origin, float reach)
{
    Vector2<float> d = m_aim_point - origin;
    if (d.length() > reach)
        d = d * (reach / d.length());
    m_aim_point = {origin.x + d.x, origin.y + d.y};
}

void AimState::plan(const MoveRecord& record)
{
    Item* piece = record.piece.get();
    const auto replanned = std::erase_if(m_records, [piece](const MoveRecord& r) { return r.piece.get() == piece; });
    m_strikes_left += int(replanned);
    m_records.push_back(record);
    --m_strikes_left;
}

bool AimState::take_back_last()
{
    if (m_records.empty())
        return false;
    m_records.pop_back();
    ++m_strikes_left;
    return true;
}

std::vector<MoveRecord> AimState::take_records()
{
    std::vector<MoveRecord> records = std::move(m_records);
    m_records.clear();
    return records;
}

}
