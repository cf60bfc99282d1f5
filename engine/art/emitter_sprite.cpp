#include "engine/art/emitter_sprite.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/art/motion_controllers.h"
#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t emitter_version = 3;
constexpr float degrees_to_radians = 0.0174533f;
constexpr std::int64_t max_step_ms = 100;

// Particle groups are numbered far above the small groups that documents give sprites.
constexpr std::int32_t first_particle_group = 0x40000000;

std::int32_t new_particle_group()
{
    static std::int32_t next = first_particle_group;
    if (next == std::numeric_limits<std::int32_t>::max())
        next = first_particle_group;
    return next++;
}

// A uniform draw in [a, b) of the process-wide generator.
float random_range(float a, float b)
{
    return a + random_float(b - a);
}

// Microseconds between two particles; 0 for no emission (also for a rate so high that the
// interval truncates to nothing, and for a rate that is not a number).
std::int64_t interval_of(float emission)
{
    if (!(emission > 0.0f))
        return 0;
    return static_cast<std::int64_t>(1000000.0 / double(emission));
}

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

void write_i32(BStream& stream, std::int32_t value)
{
    write_u32(stream, static_cast<std::uint32_t>(value));
}

std::int32_t read_i32(BStream& stream)
{
    return static_cast<std::int32_t>(read_u32(stream));
}

bool read_flag(BStream& stream)
{
    return read_u8(stream) != 0;
}

// One float property: a single field, or the middle or the width of a min/max pair.
struct EmitterProperty
{
    enum Kind { emission, single, middle, width };

    std::int32_t id;
    const char* label;
    Kind kind;
    float EmitterSettings::*first;
    float EmitterSettings::*second;
};

using S = EmitterSettings;

constexpr EmitterProperty emitter_properties[] = {
    {emitter_property_emission, "Emission", EmitterProperty::emission, nullptr, nullptr},
    {emitter_property_speed, "Speed", EmitterProperty::middle, &S::start_speed_min, &S::start_speed_max},
    {emitter_property_speed_spread, "Speed Spread", EmitterProperty::width, &S::start_speed_min, &S::start_speed_max},
    {emitter_property_spin, "Spin", EmitterProperty::single, &S::spin, nullptr},
    {emitter_property_spin_spread, "Spin Spread", EmitterProperty::single, &S::spin_spread, nullptr},
    {emitter_property_gravity, "Gravity", EmitterProperty::middle, &S::gravity_min, &S::gravity_max},
    {emitter_property_gravity_spread, "Gravity Spread", EmitterProperty::width, &S::gravity_min, &S::gravity_max},
    {emitter_property_orientation, "Orientation", EmitterProperty::single, &S::orientation, nullptr},
    {emitter_property_orientation_spread, "Orientation Spread", EmitterProperty::single, &S::orientation_spread,
     nullptr},
    {emitter_property_radial, "Radial Acc", EmitterProperty::middle, &S::radial_acceleration_min,
     &S::radial_acceleration_max},
    {emitter_property_radial_spread, "Radial Acc Spread", EmitterProperty::width, &S::radial_acceleration_min,
     &S::radial_acceleration_max},
    {emitter_property_tangential, "Tangential Acc", EmitterProperty::middle, &S::tangential_acceleration_min,
     &S::tangential_acceleration_max},
    {emitter_property_tangential_spread, "Tangential Acc Spread", EmitterProperty::width,
     &S::tangential_acceleration_min, &S::tangential_acceleration_max},
    {emitter_property_direction, "Direction", EmitterProperty::single, &S::direction, nullptr},
    {emitter_property_direction_spread, "Direction Spread", EmitterProperty::single, &S::spread, nullptr},
};

// Reads or writes one float property of the settings (not the emission).
void access(const EmitterProperty& entry, EmitterSettings& settings, bool get, float& value)
{
    float& first = settings.*entry.first;
    if (entry.kind == EmitterProperty::single) {
        if (get)
            value = first;
        else
            first = value;
        return;
    }
    float& second = settings.*entry.second;
    const float middle = (first + second) * 0.5f;
    const float width = std::fabs(first - second);
    if (get) {
        value = entry.kind == EmitterProperty::middle ? middle : width;
        return;
    }
    // The middle moves keeping the width, or the width changes keeping the middle.
    const float new_middle = entry.kind == EmitterProperty::middle ? value : middle;
    const float half = (entry.kind == EmitterProperty::middle ? second - first : value) * 0.5f;
    first = new_middle - half;
    second = new_middle + half;
}

}

EmitterSprite::EmitterSprite() : m_particle_group(new_particle_group()) {}

EmitterSprite::EmitterSprite(const EmitterSprite& other)
    : Sprite(other),
      ParticleTarget(other),
      m_emission(other.m_emission),
      m_settings(other.m_settings),
      m_particle(rtti::clone(other.m_particle.get())),
      m_particle_group(new_particle_group())
{
}

EmitterSprite::~EmitterSprite() = default;

void EmitterSprite::store(BStream& stream) const
{
    const EmitterSettings& s = m_settings;
    write_u8(stream, emitter_version);
    Sprite::store(stream);
    write_f32(stream, m_emission);
    for (float value : {s.start_speed_min, s.start_speed_max, s.gravity_min, s.gravity_max,
                        s.radial_acceleration_min, s.radial_acceleration_max, s.tangential_acceleration_min,
                        s.tangential_acceleration_max})
        write_f32(stream, value);
    write_i32(stream, s.attraction_period);
    write_f32(stream, s.direction);
    write_u8(stream, s.direction_relative);
    write_f32(stream, s.spread);
    stream.write_shared(m_particle);
    write_f32(stream, s.orientation);
    write_f32(stream, s.orientation_spread);
    write_u8(stream, s.orient_to_direction);
    write_f32(stream, s.spin);
    write_f32(stream, s.spin_spread);
    write_u8(stream, s.edge_only);
    write_f32(stream, s.edge_width);
    write_i32(stream, s.emission_mode);
    write_u8(stream, s.limited);
    write_i32(stream, s.max_particles);
}

void EmitterSprite::load(BStream& stream)
{
    EmitterSettings& s = m_settings;
    const std::uint8_t version = read_u8(stream);
    if (version > emitter_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
    m_emission = read_f32(stream);
    for (float* value : {&s.start_speed_min, &s.start_speed_max, &s.gravity_min, &s.gravity_max,
                         &s.radial_acceleration_min, &s.radial_acceleration_max, &s.tangential_acceleration_min,
                         &s.tangential_acceleration_max})
        *value = read_f32(stream);
    s.attraction_period = read_i32(stream);
    s.direction = read_f32(stream);
    s.direction_relative = read_flag(stream);
    s.spread = read_f32(stream);
    SharedPtr<Sprite> particle;
    stream.read_shared(particle);
    set_particle(particle);
    if (version >= 1) {
        s.orientation = read_f32(stream);
        s.orientation_spread = read_f32(stream);
        s.orient_to_direction = read_flag(stream);
        s.spin = read_f32(stream);
        s.spin_spread = read_f32(stream);
    }
    if (version >= 2) {
        s.edge_only = read_flag(stream);
        s.edge_width = read_f32(stream);
    }
    if (version >= 3) {
        s.emission_mode = read_i32(stream);
        s.limited = read_flag(stream);
        s.max_particles = read_i32(stream);
    }
}

void EmitterSprite::read_skin(const SkinPath& path)
{
    EmitterSettings& s = m_settings;
    Sprite::read_skin(path);
    read_skin_value(path + "emission", &m_emission);
    read_skin_value(path + "start_speed_min", &s.start_speed_min);
    read_skin_value(path + "start_speed_max", &s.start_speed_max);
    read_skin_value(path + "gravity_min", &s.gravity_min);
    read_skin_value(path + "gravity_max", &s.gravity_max);
    read_skin_value(path + "radial_acceleration_min", &s.radial_acceleration_min);
    read_skin_value(path + "radial_acceleration_max", &s.radial_acceleration_max);
    read_skin_value(path + "tangential_acceleration_min", &s.tangential_acceleration_min);
    read_skin_value(path + "tangential_acceleration_max", &s.tangential_acceleration_max);
    read_skin_value(path + "attraction_period", &s.attraction_period);
    read_skin_value(path + "direction", &s.direction);
    s.direction *= degrees_to_radians;
    read_skin_value(path + "direction_relative", &s.direction_relative);
    read_skin_value(path + "spread", &s.spread);
    s.spread *= degrees_to_radians;
    set_particle(SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(path + "particle")));
}

void EmitterSprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const EmitterProperty* entry = answer_own_property(
        emitter_properties, operation, id, data, passed_on, [](const EmitterProperty&) { return type_name<float>(); },
        [](const EmitterProperty&) { return 1; });
    if (passed_on)
        Sprite::property(operation, id, data);
    if (!entry)
        return;
    float& value = *static_cast<float*>(data);
    const bool get = operation == property_get;
    if (entry->kind != EmitterProperty::emission)
        access(*entry, m_settings, get, value);
    else if (get)
        value = m_emission;
    else
        set_emission(value);
}

void EmitterSprite::reset()
{
    Sprite::reset();
    if (m_particle)
        m_particle->reset();
}

void EmitterSprite::update(const TimeStamp& stamp)
{
    Sprite::update(stamp);
    emit(stamp);
}

void EmitterSprite::start()
{
    Sprite::start();
    m_pending = 0;
    m_emitted = 0;
}

void EmitterSprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    Sprite::visit_handles(visit);
    if (m_particle)
        m_particle->visit_handles(visit);
}

void EmitterSprite::target_point(std::int32_t, Vector2<float>& out)
{
    out = world_position();
}

void EmitterSprite::set_emission(float rate)
{
    m_emission = rate < 0.0f ? 0.0f : rate;
    m_pending = std::min(m_pending, interval_of(m_emission));
}

void EmitterSprite::set_start_speed(float min, float max)
{
    m_settings.start_speed_min = min;
    m_settings.start_speed_max = max;
}

void EmitterSprite::set_particle(const SharedPtr<Sprite>& particle)
{
    if (particle == m_particle)
        return;
    m_particle = particle;
    m_particle_group = new_particle_group();
}

void EmitterSprite::emit(const TimeStamp& stamp)
{
    if (!m_particle || !(m_emission >= std::numeric_limits<float>::epsilon()) || limit_reached() ||
        !is_shown(true))
        return;
    const SpriteTimer* timer = find_timer();
    if (!timer)
        return;
    const std::int64_t interval = interval_of(m_emission);
    if (interval == 0)
        return;
    // A long pause gives at most one capped step of particles; time running back gives none.
    const std::int64_t step = std::clamp<std::int64_t>(timer->step(), 0, max_step_ms);
    m_pending += step * 1000;
    while (m_pending >= interval) {
        if (limit_reached())
            return;
        spawn(stamp);
        m_pending -= interval;
    }
}

void EmitterSprite::spawn(const TimeStamp& stamp)
{
    const Rect area = local_rect();
    const float x = random_range(area.x, area.x + area.w);
    const float y = random_range(area.y, area.y + area.h);
    const Vector2<float> at = world_transform().transform_point({x, y});
    if (m_settings.edge_only) {
        const float h = m_settings.edge_width * 0.5f;
        // Inside the band some pair of points across the spawn point sees the edge between them.
        if (hit_test({at.x - h, at.y}) == hit_test({at.x + h, at.y}) &&
            hit_test({at.x, at.y - h}) == hit_test({at.x, at.y + h}))
            return;
    }
    if (!hit_test(at))
        return;
    SharedPtr<Sprite> clone(rtti::clone(m_particle.get()));
    if (!clone)
        return;
    clone->set_group(m_particle_group);
    clone->set_position(at);
    ++m_emitted;
    if (m_settings.emission_mode == 0) {
        launch(clone, stamp);
        return;
    }
    if (m_settings.emission_mode != 1)
        return;
    std::vector<SharedPtr<Sprite>> parts;
    clone->for_each_child([&parts](Sprite* child) { parts.emplace_back(child); }, false);
    for (const SharedPtr<Sprite>& part : parts) {
        const Vector2<float> world = part->world_position();
        clone->remove_child(part.get());
        part->set_inherit(IF_TRANSFORMATION, 0);
        part->set_position(world);
        if (!part->timer() && clone->timer())
            part->set_timer(new SpriteTimer(*clone->timer()));
        launch(part, stamp);
    }
}

void EmitterSprite::launch(const SharedPtr<Sprite>& particle, const TimeStamp& stamp)
{
    const EmitterSettings& s = m_settings;
    particle->set_transient(true);
    MoveController* mover = particle->find_child<MoveController>();
    if (!mover) {
        SharedPtr<MoveController> added(new MoveController);
        particle->add_controller(added);
        mover = added.get();
    }
    float angle = s.direction;
    if (s.direction_relative) {
        const Transform& world = world_transform();
        angle += std::atan2(world.m[1], world.m[0]);
    }
    angle += random_range(-s.spread * 0.5f, s.spread * 0.5f);
    float rotation = random_range(s.orientation - s.orientation_spread * 0.5f,
                                  s.orientation + s.orientation_spread * 0.5f);
    if (s.orient_to_direction)
        rotation += angle;
    particle->set_rotation(rotation);
    if (const std::shared_ptr<ParticleTarget*> target = m_target.lock(); target && *target)
        mover->set_attraction_target(m_target, (*target)->next_index());
    else
        mover->set_attraction_target(self(), next_index());
    const float speed = random_range(s.start_speed_min, s.start_speed_max);
    mover->set_velocity({speed * std::cos(angle), speed * std::sin(angle)});
    mover->set_acceleration({0.0f, random_range(s.gravity_min, s.gravity_max)});
    mover->set_radial_acceleration(random_range(s.radial_acceleration_min, s.radial_acceleration_max));
    mover->set_tangential_acceleration(random_range(s.tangential_acceleration_min, s.tangential_acceleration_max));
    mover->set_attraction_period(s.attraction_period);
    if (s.spin != 0.0f || s.spin_spread != 0.0f) {
        SharedPtr<TurnController> turn(new TurnController);
        turn->set_speed(random_range(s.spin - s.spin_spread * 0.5f, s.spin + s.spin_spread * 0.5f));
        particle->add_controller(turn);
    }
    particle->tick(stamp);
    receiver(stamp)->add_child(particle, nullptr);
}

Sprite* EmitterSprite::receiver(const TimeStamp& stamp)
{
    if (stamp.receiver)
        return stamp.receiver;
    for (Sprite* candidate = this; candidate; candidate = candidate->parent_sprite())
        if (candidate->inherit() & IF_ACCEPTOR)
            return candidate;
    return root_sprite();
}

}
