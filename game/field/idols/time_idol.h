#pragma once

#include "engine/art/image_sprite.h"
#include "engine/base/type_name.h"
#include "game/field/idols/idol.h"

namespace kq {

/// The idol that makes time cost meter: while the mission runs it drains the game meter at
/// the level's rate for the profile's difficulty. Filling the meter to its maximum pleases
/// it for good: it stops draining and gives a clock. A "freeze" sprite beside the figure
/// shows while the drain is stopped or eased.
class TimeIdol : public Idol
{
public:
    TimeIdol() = default;
    TimeIdol(const TimeIdol& other) = default;
    /// Leaves the field's meter signal.
    ~TimeIdol() override;

    /// The figure and rainbow, then the sprite "freeze".
    void read_skin(const SkinPath& path) override;
    /// Listens to the field's meter.
    void attached() override;
    /// A good mood shows the rainbow and gives a clock.
    void mood_changed(IdolMood old_mood, IdolMood new_mood) override;
    /// Drains the meter by the frame's time, unless pleased, the mission is over or the
    /// strikes of the clock are being planned.
    void update(int elapsed) override;
    /// The figure, then "freeze" while the drain is stopped or eased.
    void draw(Artist& artist) override;

    /// A meter at its maximum pleases the idol for good.
    void on_meter_changed();
    /// True when the profile eases the drain and the field is in danger.
    bool drain_eased() const;

    ImageSprite& freeze() { return m_freeze; }

private:
    // The level's drain rate for the profile's difficulty.
    int drain_rate() const;

    ImageSprite m_freeze;
};

}

KQ_TYPE_NAME(kq::TimeIdol, "class kq::TimeIdol");
