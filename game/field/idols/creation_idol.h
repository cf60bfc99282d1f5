#pragma once

#include <array>
#include <vector>

#include "engine/art/image_sprite.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/res/skin_path.h"
#include "game/field/field.h"
#include "game/field/idols/idol.h"

namespace kq {

/// The idol that makes new pieces. It fills the field with a first batch when attached, holds
/// a hand of piece kinds that it drops onto the field at the end of each turn (charging the
/// meter for every piece) and shows up to four of them beside its figure. It turns bad while
/// the field holds too many pieces, and is pleased for good, giving hand powerups, when the
/// player brings the field down to one group while its production turns last.
class CreationIdol : public Idol
{
public:
    /// One of the four places beside the figure that show a kind of the hand: a background
    /// tinted with the kind's colour and the kind's in-hand picture.
    struct Slot
    {
        ImageSprite back;
        ImageSprite piece;
        /// The kind shown; empty at first.
        SkinPath kind;
    };

    static constexpr int slot_count = 4;
    /// Where each slot's sprites stand, field pixels.
    static constexpr std::array<Vector2<float>, slot_count> slot_positions{{
        {36.0f, 626.0f}, {120.0f, 740.0f}, {76.0f, 622.0f}, {130.0f, 711.0f}}};

    CreationIdol() = default;
    CreationIdol(const CreationIdol& other) = default;
    ~CreationIdol() override;

    /// The figure and rainbow, then "initial_count", "production_count", "max_count",
    /// "product_penalty" and "production_turns" (a missing one stays 0) and each slot's
    /// background from "vimu_back" (left empty when missing).
    void read_skin(const SkinPath& path) override;
    /// Listens to the field's item changes, drops the first batch (charging nothing), then
    /// takes its mood and its first hand.
    void attached() override;
    /// Counts down a production turn while not pleased, then drops the hand, each piece
    /// costing the penalty on the meter, and draws a new one.
    void turn_end() override;
    /// Asks for the idol's tip and runs the slots' backgrounds on the field's clock.
    void update(int elapsed) override;
    /// The figure, then the backgrounds and pictures of the slots in use.
    void draw(Artist& artist) override;

    /// The field's items changed: the mood follows, then the hand is drawn again.
    void refresh();
    /// Unless locked: pleased for good, with hand powerups, when one group is left while
    /// production turns remain; else bad at the maximum count of pieces, else normal.
    void update_mood();
    /// Draws a new hand for the mood, keeping kinds of the old hand where it can, and shows
    /// its first four kinds in the slots.
    void refill_hand();

    int initial_count() const { return m_initial_count; }
    int production_count() const { return m_production_count; }
    int max_count() const { return m_max_count; }
    int production_turns() const { return m_production_turns; }
    /// Takes one of the remaining production turns away (none left: nothing); the game counts
    /// the turns left at a won mission's end as its reserve.
    void take_production_turn()
    {
        if (m_production_turns > 0)
            --m_production_turns;
    }
    int product_penalty() const { return m_product_penalty; }
    const std::vector<CreatableKind>& hand() const { return m_hand; }
    int shown() const { return m_shown; }
    const Slot& slot(int index) const { return m_slots.at(std::size_t(index)); }

private:
    void listen();
    void stop_listening();
    // The number of kinds a new hand holds in the current mood.
    int hand_size() const;
    void show_in_slot(Slot& slot, const CreatableKind& kind, const Vector2<float>& position);

    int m_initial_count = 0;
    int m_production_count = 0;
    int m_max_count = 0;
    int m_production_turns = 0;
    int m_product_penalty = 0;
    std::vector<CreatableKind> m_hand;
    std::array<Slot, slot_count> m_slots;
    int m_shown = 0;
};

}

KQ_TYPE_NAME(kq::CreationIdol, "class kq::CreationIdol");
