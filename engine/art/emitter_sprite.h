#pragma once

#include <cstdint>

#include "engine/art/particle_target.h"
#include "engine/art/sprite.h"

namespace kq {

/// Ids of an emitter's properties.
inline constexpr std::int32_t emitter_property_emission = 3000;
inline constexpr std::int32_t emitter_property_speed = 3010;
inline constexpr std::int32_t emitter_property_speed_spread = 3011;
inline constexpr std::int32_t emitter_property_spin = 3015;
inline constexpr std::int32_t emitter_property_spin_spread = 3016;
inline constexpr std::int32_t emitter_property_gravity = 3020;
inline constexpr std::int32_t emitter_property_gravity_spread = 3021;
inline constexpr std::int32_t emitter_property_radial = 3030;
inline constexpr std::int32_t emitter_property_radial_spread = 3031;
inline constexpr std::int32_t emitter_property_tangential = 3040;
inline constexpr std::int32_t emitter_property_tangential_spread = 3041;
inline constexpr std::int32_t emitter_property_direction = 3050;
inline constexpr std::int32_t emitter_property_direction_spread = 3051;
inline constexpr std::int32_t emitter_property_orientation = 3060;
inline constexpr std::int32_t emitter_property_orientation_spread = 3061;

/// How an emitter launches its particles (angles in radians, times in milliseconds, speeds
/// and accelerations per second). A spread is the full width of the random range around its
/// value; a min/max pair is drawn from uniformly.
struct EmitterSettings
{
    bool limited = false;              ///< stop after `max_particles` per start
    std::int32_t max_particles = 1;
    float orientation = 0.0f;          ///< base rotation of a particle
    float orientation_spread = 0.0f;
    bool orient_to_direction = true;   ///< the rotation also adds the launch angle
    float start_speed_min = 0.0f;
    float start_speed_max = 0.0f;
    float spin = 0.0f;                 ///< radians a second
    float spin_spread = 0.0f;
    float gravity_min = 0.0f;          ///< downwards (positive y)
    float gravity_max = 0.0f;
    float radial_acceleration_min = 0.0f;      ///< away from the target point
    float radial_acceleration_max = 0.0f;
    float tangential_acceleration_min = 0.0f;  ///< across the target direction
    float tangential_acceleration_max = 0.0f;
    std::int32_t attraction_period = -1;  ///< 0 or less: no attraction
    float direction = 0.0f;            ///< launch angle
    bool direction_relative = false;   ///< the launch angle also adds the emitter's world rotation
    float spread = 0.0f;               ///< width of the launch angle's range
    bool edge_only = false;            ///< particles start only near the edge of the shape
    float edge_width = 16.0f;
    /// 0: the clone of the prototype is the particle; 1: each direct child of the clone is one;
    /// any other value launches nothing.
    std::int32_t emission_mode = 0;
};

/// A sprite that spawns particles at a steady rate: it clones its prototype at random points
/// of its area, launches each clone with a mover (velocity, gravity, radial and tangential
/// accelerations, attraction to a target) and an optional spin, and hands it to the receiving
/// sprite above it, where the particle lives on by itself until its own timer runs out.
/// Particles are attracted to the emitter's own position unless another target is set.
class EmitterSprite : public Sprite, public ParticleTarget
{
public:
    EmitterSprite();
    /// Copies the settings and clones the prototype deeply; the copy has its own target cell,
    /// no attraction target and nothing pending or emitted.
    EmitterSprite(const EmitterSprite& other);
    ~EmitterSprite() override;

    /// Writes version 3 (the sprite form first).
    void store(BStream& stream) const override;
    /// Reads versions 0 to 3; fields a version lacks keep their values.
    void load(BStream& stream) override;
    /// The sprite's keys, then "emission", the speed, gravity, radial and tangential pairs,
    /// "attraction_period", "direction" (degrees), "direction_relative", "spread" (degrees)
    /// and "particle".
    void read_skin(const SkinPath& path) override;
    /// Answers the emitter's floats (3000 to 3061), then the sprite's properties.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The sprite's reset, then the prototype's.
    void reset() override;
    /// The sprite's update, then emission.
    void update(const TimeStamp& stamp) override;
    /// The sprite's start; nothing is pending or emitted any more.
    void start() override;
    /// The sprite's handles, then the prototype's.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;

    /// Always 0: every particle is drawn to the one point.
    std::int32_t next_index() override { return 0; }
    /// The emitter's world position, whatever the index.
    void target_point(std::int32_t index, Vector2<float>& out) override;

    /// Particles a second (below 0: 0); the pending time is cut to one interval of the new
    /// rate, so a change never releases a burst.
    void set_emission(float rate);
    void set_start_speed(float min, float max);
    /// The target particles are drawn to; an empty or expired one means the emitter itself.
    void set_target(ParticleTarget::WeakRef target) { m_target = std::move(target); }
    /// The prototype cloned for each particle; null emits nothing.
    void set_particle(const SharedPtr<Sprite>& particle);

    float emission() const { return m_emission; }
    EmitterSettings& settings() { return m_settings; }
    const EmitterSettings& settings() const { return m_settings; }
    Sprite* particle() const { return m_particle.get(); }
    /// The attraction target set; empty when the emitter itself draws its particles.
    const ParticleTarget::WeakRef& target() const { return m_target; }
    /// The group given to this emitter's particles: a number of the prototype, not its address.
    std::int32_t particle_group() const { return m_particle_group; }
    /// Microseconds of emission time not yet spent.
    std::int64_t pending() const { return m_pending; }
    /// Particles launched since the last start.
    std::int32_t emitted() const { return m_emitted; }

private:
    void emit(const TimeStamp& stamp);
    void spawn(const TimeStamp& stamp);
    void launch(const SharedPtr<Sprite>& particle, const TimeStamp& stamp);
    bool limit_reached() const { return m_settings.limited && m_emitted >= m_settings.max_particles; }
    Sprite* receiver(const TimeStamp& stamp);

    float m_emission = 10.0f;
    EmitterSettings m_settings;
    SharedPtr<Sprite> m_particle;
    std::int32_t m_particle_group;
    ParticleTarget::WeakRef m_target;
    std::int64_t m_pending = 0;
    std::int32_t m_emitted = 0;
};

}

KQ_TYPE_NAME(kq::EmitterSprite, "class kq::EmitterSprite");
