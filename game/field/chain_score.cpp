#include "game/field/chain_score.h"

namespace kq {

void ChainScore::start_shot(Item& piece, int time)
{
    m_shot = Shot{WeakPtr<Item>(&piece), 0, time, time, piece.position(), WeakPtr<Item>(&piece)};
    m_in_flight = WeakPtr<Item>(&piece);
    m_flight_last = piece.body_position();
    m_flight_length = 0.0f;
}

void ChainScore::count_hit(Item& piece, int time)
{
    if (&piece != m_shot.piece.get() || time - m_shot.last_hit_time <= 10)
        return;
    ++m_shot.hits;
    m_shot.last_hit_time = time;
}

void ChainScore::track_flight()
{
    const Item* piece = m_in_flight.get();
    if (!piece || !piece->body())
        return;
    const Vector2<float> p = piece->body_position();
    m_flight_length += Vector2<float>::distance(p, m_flight_last);
    m_flight_last = p;
}

bool ChainScore::end_ricochet(const Item& piece, int& rebounds)
{
    if (&piece != m_shot.piece.get())
        return false;
    rebounds = m_shot.hits - 1;
    m_shot.piece = WeakPtr<Item>();
    return true;
}

bool ChainScore::extend_trail(const Item& piece)
{
    if (&piece != m_shot.trail.get())
        return false;
    ++m_trail_count;
    m_shot.trail = WeakPtr<Item>();
    return true;
}

void ChainScore::break_trail_if_alive()
{
    if (m_shot.trail.get())
        m_trail_count = 0;
}

bool ChainScore::end_flight(const Item& piece)
{
    if (&piece != m_in_flight.get())
        return false;
    m_in_flight = WeakPtr<Item>();
    return true;
}

int ChainScore::join_chain(Item& piece, int cause_chain)
{
    const int chain = cause_chain == 0 || m_chains.count(cause_chain) == 0 ? ++m_last_chain : cause_chain;
    Chain& record = m_chains[chain];
    record.dying.insert(&piece);
    ++record.count;
    return chain;
}

int ChainScore::leave_chain(Item& piece, int chain)
{
    const auto found = m_chains.find(chain);
    if (found == m_chains.end())
        return 0;
    found->second.dying.erase(&piece);
    if (!found->second.dying.empty())
        return 0;
    const int count = found->second.count;
    m_chains.erase(found);
    return count;
}

std::map<int, int> ChainScore::chain_counts() const
{
    std::map<int, int> counts;
    for (const auto& [chain, record] : m_chains)
        counts[chain] = record.count;
    return counts;
}

}
