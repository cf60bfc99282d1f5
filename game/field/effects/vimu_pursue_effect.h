#pragma once

#include "engine/art/sprite.h"
#include "engine/base/type_name.h"
#include "engine/base/weak_ptr.h"
#include "game/field/field_enums.h"

namespace kq {

class Vimu;

/// A sprite that flies to a game piece at its speed, following it as it moves, and acts on it
/// when it arrives (within 10 units). It finishes (closes) on arrival, when its timer runs out
/// or when the piece is gone; its arrival action runs once, at the close, and only on a piece
/// that is still on the field. Copies fly to no piece until given one.
class VimuPursueEffect : public Sprite
{
public:
    VimuPursueEffect() = default;
    VimuPursueEffect(const VimuPursueEffect& other);
    ~VimuPursueEffect() override = default;

    /// The sprite's keys, then the optional "speed" (units per second; 0 when missing).
    void read_skin(const SkinPath& path) override;
    /// The sprite's update, then one step of the flight by the time its timer advanced.
    void update(const TimeStamp& stamp) override;

    /// Points the effect at the piece, replacing the previous one.
    void set_target(const WeakPtr<Vimu>& target) { m_target = target; }
    /// The piece while it is on the field and not about to leave it; else null.
    Vimu* live_target() const;
    float speed() const { return m_speed; }
    void set_speed(float speed) { m_speed = speed; }

protected:
    /// Runs the arrival action on a live piece.
    void on_close() override;
    /// What the effect does to the piece it reached; nothing here.
    virtual void act_on(Vimu& /*piece*/) {}

private:
    float m_speed = 0.0f;
    WeakPtr<Vimu> m_target;
};

/// Sets the piece it reaches off at once.
class SplinterEffect : public VimuPursueEffect
{
protected:
    void act_on(Vimu& piece) override;
};

/// Hands the piece it reaches a bonus.
class BonusBringEffect : public VimuPursueEffect
{
public:
    void set_bonus(int bonus) { m_bonus = bonus; }
    int bonus() const { return m_bonus; }

protected:
    void act_on(Vimu& piece) override;

private:
    int m_bonus = -1;
};

}

KQ_TYPE_NAME(kq::SplinterEffect, "class kq::SplinterEffect");
KQ_TYPE_NAME(kq::BonusBringEffect, "class kq::BonusBringEffect");
