#pragma once

#include <cstdint>
#include <map>
#include <set>

#include "engine/base/vector2.h"
#include "engine/base/weak_ptr.h"
#include "game/field/objects/item.h"

namespace kq {

/// Whether pieces can still make a chain.
enum class ChainState : std::int32_t
{
    /// A turn is pending: its pieces still move.
    turn_pending = 0,
    /// No group of two or more pieces has a piece to shoot.
    none_possible = 1,
    /// Some group of two or more pieces has a piece to shoot.
    possible = 2,
};

/// The shot being judged and the chains it sets off: the shot's piece and its hits, its
/// flight, the trail of shots whose own piece died, the chains of pieces dying together, the
/// burning pieces and the counts of pieces left and destroyed.
class ChainScore
{
public:
    /// The shot being judged: its piece and its hits.
    struct Shot
    {
        WeakPtr<Item> piece;
        int hits = 0;
        int last_hit_time = 0;
        int start_time = 0;
        Vector2<float> start;
        /// The piece whose death continues the trail of shots.
        WeakPtr<Item> trail;
    };

    /// Starts judging a shot of the piece fired at the field time: its hits, its trail and
    /// its flight.
    void start_shot(Item& piece, int time);
    /// Counts a hit of the shot's piece, at most one per 10 ms.
    void count_hit(Item& piece, int time);
    /// Adds the way the flying piece went since the last call to the flight length.
    void track_flight();
    /// True, once, when the piece is the shot's piece: the number of its rebounds (hits
    /// after the first) then counts; the shot's piece is forgotten.
    bool end_ricochet(const Item& piece, int& rebounds);
    /// True, once, when the piece continues the trail: the trail grows by one.
    bool extend_trail(const Item& piece);
    /// Breaks the trail when the shot's trail piece lived through the turn.
    void break_trail_if_alive();
    /// True, once, when the piece is the piece in flight: its flight length then counts.
    bool end_flight(const Item& piece);

    /// Enters the dying piece in the chain `cause_chain` when it is open, else in a new one;
    /// returns the chain.
    int join_chain(Item& piece, int cause_chain);
    /// Takes the piece out of its chain; when it was the last to leave, the chain closes and
    /// the number of pieces that joined it is returned, else 0.
    int leave_chain(Item& piece, int chain);
    /// Open chains: the number of pieces that joined each, by chain.
    std::map<int, int> chain_counts() const;

    /// The field's pieces: one more built, one more gone (true when it was the last one).
    void count_built() { ++m_pieces_left; }
    bool count_gone() { return --m_pieces_left == 0; }
    /// One more destroyed; returns how many are.
    int count_destroyed() { return ++m_destroyed; }

    /// The burning pieces.
    void add_burning(Item& piece) { m_burning.insert(&piece); }
    void remove_burning(Item& piece) { m_burning.erase(&piece); }
    const std::set<Item*>& burning() const { return m_burning; }
    /// While set, every piece counts as burning.
    bool all_burning() const { return m_all_burning; }
    void set_all_burning(bool on) { m_all_burning = on; }

    /// The shot in flight: fired and not yet scored or over.
    bool shot_in_flight() const { return m_shot_in_flight; }
    void set_shot_in_flight(bool on) { m_shot_in_flight = on; }
    /// The piece of the last shot; null once its turn has ended.
    Item* last_piece() const { return m_last_piece.get(); }
    void set_last_piece(Item* piece) { m_last_piece = WeakPtr<Item>(piece); }
    /// True when the shot cut the previous turn short.
    bool turn_cut() const { return m_turn_cut; }
    void set_turn_cut(bool on) { m_turn_cut = on; }

    const Shot& shot() const { return m_shot; }
    float flight_length() const { return m_flight_length; }
    int pieces_left() const { return m_pieces_left; }
    int destroyed() const { return m_destroyed; }
    int trail_count() const { return m_trail_count; }

private:
    // The pieces dying together in one chain.
    struct Chain
    {
        std::set<Item*> dying;
        int count = 0;
    };

    Shot m_shot;
    WeakPtr<Item> m_in_flight;
    Vector2<float> m_flight_last;
    float m_flight_length = 0.0f;
    bool m_shot_in_flight = false;
    WeakPtr<Item> m_last_piece;
    bool m_turn_cut = false;
    std::map<int, Chain> m_chains;
    int m_last_chain = 0;
    std::set<Item*> m_burning;
    bool m_all_burning = false;
    int m_pieces_left = 0;
    int m_destroyed = 0;
    int m_trail_count = 0;
};

}
