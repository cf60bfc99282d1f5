#include <algorithm>
#include <string>

#include "game/field/field.h"
#include "game/field/idol.h"
#include "game/field/vimu.h"

namespace kq {

void Field::on_piece_built(Item& piece)
{
    add_piece(piece);
    m_on_items_changed.emit();
    ++m_pieces_left;
}

int Field::on_piece_dying(Item& piece, Item* cause)
{
    remove_piece(piece);
    m_on_items_changed.emit();
    m_on_piece_dying.emit(&piece);
    if (&piece == m_last_piece.get() && m_shot_in_flight) {
        m_shot_in_flight = false;
        m_on_shot_scored.emit();
        m_turn_cut = false;
        if (m_danger_mode == 2)
            set_danger_mode(1);
    }
    if (&piece == m_held_item.get())
        release_held_item();
    // A piece set alight by a dying piece dies in that piece's chain; any other opens one.
    const auto* dying_cause = dynamic_cast<const Vimu*>(cause);
    int chain = dying_cause ? dying_cause->chain() : 0;
    if (chain == 0 || m_chains.count(chain) == 0)
        chain = ++m_last_chain;
    ChainRecord& record = m_chains[chain];
    record.dying.insert(&piece);
    ++record.count;
    if (&piece == m_shot.piece.get())
        m_shot.piece = WeakPtr<Item>();
    piece.flush_captions();
    return chain;
}

void Field::on_piece_dead(Item& piece)
{
    const auto* vimu = dynamic_cast<const Vimu*>(&piece);
    const auto chain = m_chains.find(vimu ? vimu->chain() : 0);
    if (chain != m_chains.end()) {
        chain->second.dying.erase(&piece);
        if (chain->second.dying.empty()) {
            const int count = chain->second.count;
            m_chains.erase(chain);
            if (count > 2)
                m_on_chain.emit(count);
        }
    }
    if (remove_piece(piece))
        m_on_items_changed.emit();
    if (--m_pieces_left == 0 && m_game_state == GameState::running)
        set_game_state(GameState::win);
}

std::map<int, int> Field::chain_counts() const
{
    std::map<int, int> counts;
    for (const auto& [chain, record] : m_chains)
        counts[chain] = record.count;
    return counts;
}

void Field::count_hit(Item& piece)
{
    if (&piece != m_shot.piece.get() || m_field_time - m_shot.last_hit_time <= 10)
        return;
    ++m_shot.hits;
    m_shot.last_hit_time = m_field_time;
}

void Field::end_turn()
{
    if (m_shot_in_flight) {
        m_shot_in_flight = false;
        m_on_turn_step.emit();
        if (m_game_state == GameState::running && m_danger_mode == 2)
            set_game_state(GameState::fail);
    }
    m_last_piece = WeakPtr<Item>();
    ++m_turn_count;
    m_step_deadline = -1;
    for_each_item([](Item* item) { item->on_turn_end(); });
    for_each_idol([](Idol* idol) { idol->turn_end(); });
    fire_held_back_shots();
    expire_bonuses(BonusEnd::on_turn);
}

void Field::fire_held_back_shots()
{
    const std::vector<MoveRecord> records = std::move(m_move_history);
    m_move_history.clear();
    for (const MoveRecord& record : records) {
        Item* item = record.piece.get();
        if (!item || !item->body())
            continue;
        if (auto* piece = dynamic_cast<Vimu*>(item))
            piece->strike(record.impulse, record.origin);
        else
            item->apply_impulse(record.impulse, record.origin);
    }
}

void Field::move_in_flight()
{
    const Item* piece = m_in_flight.get();
    if (!piece || !piece->body())
        return;
    const Vector2<float> p = piece->body_position();
    m_flight_length += Vector2<float>::distance(p, m_flight_last);
    m_flight_last = p;
}

}
