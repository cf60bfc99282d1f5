#pragma once

#include <cstdint>

#include "engine/art/particle_target.h"
#include "engine/art/sprite_controller.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/base/weak_ptr.h"

namespace kq {

class Sprite;

/// Moves the sprite by a velocity that an acceleration changes, optionally attracted to or
/// pushed from a target's point. A step longer than 50 ms counts as 50 ms. Keeps its velocity
/// across restarts.
class MoveController : public SpriteController
{
public:
    /// Reads the controller keys, then "speed" and "acceleration".
    void read_skin(const SkinPath& path) override;
    /// The controller update, then one step of motion.
    void update(const TimeStamp& stamp) override;

    void set_velocity(Vector2<float> velocity) { m_velocity = velocity; }
    void set_acceleration(Vector2<float> acceleration) { m_acceleration = acceleration; }
    /// Acceleration along the line from the target (positive pushes away).
    void set_radial_acceleration(float acceleration) { m_radial = acceleration; }
    /// Acceleration across that line.
    void set_tangential_acceleration(float acceleration) { m_tangential = acceleration; }
    /// A pull that would close the distance to the target in this many ms; 0 or less: off.
    void set_attraction_period(std::int32_t period) { m_attraction_period = period; }
    /// The target whose point for `index` the radial, tangential and attraction terms use.
    void set_attraction_target(ParticleTarget::WeakRef target, std::int32_t index)
    {
        m_target = std::move(target);
        m_target_index = index;
    }

    Vector2<float> velocity() const { return m_velocity; }
    Vector2<float> acceleration() const { return m_acceleration; }

private:
    Vector2<float> m_velocity;
    Vector2<float> m_acceleration;
    ParticleTarget::WeakRef m_target;
    std::int32_t m_target_index = 0;
    float m_radial = 0.0f;
    float m_tangential = 0.0f;
    std::int32_t m_attraction_period = -1;
};

/// Turns the sprite at a constant angular speed.
class TurnController : public SpriteController
{
public:
    /// The controller update, then the turn over the timer's step.
    void update(const TimeStamp& stamp) override;

    /// Radians a second.
    float speed() const { return m_speed; }
    void set_speed(float speed) { m_speed = speed; }

private:
    float m_speed = 0.0f;
};

/// Jitters the sprite's position and rotation towards random targets within its amplitudes,
/// never faster than one amplitude a period. A fleeting shake takes back exactly what it
/// applied when it stops.
class ShakeController : public SpriteController
{
public:
    static constexpr std::int32_t property_period = 10000;
    static constexpr std::int32_t property_shift = 10001;
    static constexpr std::int32_t property_roll = 10002;

    ShakeController() = default;
    /// Copies the settings and the offsets applied so far (which the copied sprite's place
    /// includes); the copy picks its own targets when it starts.
    ShakeController(const ShakeController& other);

    /// Writes version 1: the controller form, then period, shift amplitude and roll amplitude.
    void store(BStream& stream) const override;
    /// Reads versions 0 and 1.
    void load(BStream& stream) override;
    /// Reads the controller keys, then "period", "shift_amplitude" and "roll_amplitude".
    void read_skin(const SkinPath& path) override;
    /// "Shake Period" (seconds), "Shake Shift" and "Shake Roll".
    void property(std::int32_t operation, std::int32_t id, void* data) override;

    /// Applies, forgets what was applied and picks new targets.
    void start() override;
    /// The controller update, then one step towards the targets.
    void update(const TimeStamp& stamp) override;
    /// Takes back the applied offset and angle.
    void revert() override;

    std::int32_t period() const { return m_period; }
    void set_period(std::int32_t period) { m_period = period; }
    Vector2<float> shift_amplitude() const { return m_shift_amplitude; }
    void set_shift_amplitude(Vector2<float> amplitude) { m_shift_amplitude = amplitude; }
    float roll_amplitude() const { return m_roll_amplitude; }
    void set_roll_amplitude(float amplitude) { m_roll_amplitude = amplitude; }
    /// The offset and angle applied to the sprite so far.
    Vector2<float> current_shift() const { return m_shift; }
    float current_roll() const { return m_roll; }

private:
    void pick_shift_target();
    void pick_roll_target();
    void step_shift(Sprite& target, float dt);
    void step_roll(Sprite& target, float dt);

    std::int32_t m_period = 100;
    Vector2<float> m_shift_amplitude{1.0f, 1.0f};
    float m_roll_amplitude = 0.0f;
    Vector2<float> m_target_shift;
    float m_target_roll = 0.0f;
    Vector2<float> m_shift;
    float m_roll = 0.0f;
};

/// Stretches the sprite along its direction of motion and turns it towards it, measured at
/// most every 20 ms and smoothed.
class SplashController : public SpriteController
{
public:
    static constexpr std::int32_t property_normal_speed = 11000;
    static constexpr std::int32_t property_smoothness = 11001;

    /// Writes version 0: the controller form, then normal speed and smoothness.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// "Normal Speed" and "Splash Smoothness".
    void property(std::int32_t operation, std::int32_t id, void* data) override;

    /// Takes the sprite's place as the first measurement, then applies.
    void start() override;
    /// One measurement: stretch by speed over the normal speed, turn towards the motion.
    void apply() override;

    float normal_speed() const { return m_normal_speed; }
    void set_normal_speed(float speed) { m_normal_speed = speed; }
    float smoothness() const { return m_smoothness; }
    void set_smoothness(float smoothness) { m_smoothness = smoothness; }

private:
    float m_normal_speed = 100.0f;
    float m_smoothness = 0.25f;
    Vector2<float> m_last_position;
    std::int32_t m_last_time = 0;
};

/// Spans the sprite from one named sprite to another: placed on the first, turned towards the
/// second and as long as the distance. The two are looked up once, at start, and held weakly.
class BeamController : public SpriteController
{
public:
    BeamController() = default;
    /// Copies the names; the copy has found no sprites yet.
    BeamController(const BeamController& other);

    /// Writes version 0: the controller form, then the two names.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;

    /// Applies, then looks the two sprites up from the sprite.
    void start() override;
    /// The controller update, then follows the two sprites while the first lives.
    void update(const TimeStamp& stamp) override;

    StrCache first_name() const { return m_first_name; }
    StrCache second_name() const { return m_second_name; }
    void set_names(StrCache first, StrCache second)
    {
        m_first_name = first;
        m_second_name = second;
    }

private:
    StrCache m_first_name;
    StrCache m_second_name;
    WeakPtr<Sprite> m_first;
    WeakPtr<Sprite> m_second;
};

}

KQ_TYPE_NAME(kq::MoveController, "class kq::MoveController");
KQ_TYPE_NAME(kq::TurnController, "class kq::TurnController");
KQ_TYPE_NAME(kq::ShakeController, "class kq::ShakeController");
KQ_TYPE_NAME(kq::SplashController, "class kq::SplashController");
KQ_TYPE_NAME(kq::BeamController, "class kq::BeamController");
