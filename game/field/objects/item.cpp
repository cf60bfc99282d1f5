#include "game/field/objects/item.h"

#include <algorithm>
#include <cmath>

#include "engine/art/skin_enum.h"
#include "engine/art/text_sprite.h"
#include "engine/base/list_readers.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/host/system/assert.h"
#include "engine/platform/audio.h"
#include "engine/platform/texture_entries.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/physics/field_units.h"
#include "game/field/physics/physics_body.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

// A polygon shape takes at most this many points of an outline; the rest are dropped.
constexpr std::size_t max_polygon_points = 8;
static_assert(PolygonDef::max_vertices >= int(max_polygon_points));

Vector2<float> rotated(const Vector2<float>& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

Vector2<float> plus(const Vector2<float>& a, const Vector2<float>& b)
{
    return {a.x + b.x, a.y + b.y};
}

}

Item::Item()
{
    for (Quad* quad : {&m_base_quad, &m_specular_quad})
        for (QuadVertex& vertex : quad->v) {
            vertex.r = 1.0f;
            vertex.g = 1.0f;
            vertex.b = 1.0f;
            vertex.a = 1.0f;
        }
}

float Item::angle() const
{
    KQ_ASSERT(m_body);
    return m_body->angle();
}

Vector2<float> Item::position() const
{
    return body_position();
}

Vector2<float> Item::body_position() const
{
    KQ_ASSERT(m_body);
    return to_pixels(m_body->position());
}

float Item::opacity() const
{
    if (m_height >= 0.0f)
        return 1.0f;
    return std::clamp(std::fabs(-5.0f - m_height) / 5.0f, 0.0f, 1.0f);
}

bool Item::same_group(const Item& other) const
{
    return other.has_group() && m_gen == other.m_gen;
}

void Item::read_skin(const SkinPath& path)
{
    AdvSkinIO::read_skin(path);
    const SkinPath& node = skin_path();
    auto key = [&node](const char* name) { return node + name; };

    read_skin_value(key("height"), &m_height);
    read_skin_value(key("zero_height"), &m_zero_height);
    read_skin_enum(key("form"), &m_form);
    if (m_form == Form::polygons) {
        StringStream polygons(get_skin_text(key("polygons")));
        read_point_lists(polygons, m_polygons);
    }
    read_skin_value(key("size"), &m_size);
    read_skin_value(key("density"), &m_density);
    read_skin_value(key("friction"), &m_friction);
    read_skin_value(key("side_friction"), &m_side_friction);
    read_skin_value(key("restitution"), &m_restitution);
    read_skin_value(key("linear_damping"), &m_linear_damping);
    read_skin_value(key("angular_damping"), &m_angular_damping);
    read_skin_value(key("awning"), &m_awning);
    read_skin_value(key("invisible"), &m_invisible);
    read_skin_value(key("electrostatic_charge"), &m_electrostatic_charge);
    read_skin_value(key("tinkling_priority"), &m_tinkling_priority);
    m_tinkling_sample.read_name_from_skin(key("tinkling_sample"));
    read_skin_value(key("launchable"), &m_launchable);
    read_skin_value(key("additive"), &m_additive);
    read_skin_value(key("have_shadow"), &m_have_shadow);
    read_skin_value(key("fast_tinkling"), &m_fast_tinkling);
    read_skin_value(key("shadow_shift"), &m_shadow_shift);
    read_skin_value(key("gen"), &m_gen);
    read_skin_value(key("magnetic"), &m_magnetic);
    int bits = 0;
    read_skin_value(key("ground_cg"), &bits);
    m_ground_cg = static_cast<std::uint16_t>(bits);
    read_skin_value(key("air_cg"), &bits);
    m_air_cg = static_cast<std::uint16_t>(bits);

    Vector2<int> base_tbegin;
    Vector2<int> shadow_tbegin;
    Vector2<int> diffuse_tbegin;
    Vector2<int> specular_tbegin;
    read_layer(node, "base_texture", "base_tbegin", m_base, base_tbegin);
    read_layer(node, "shadow_texture", "shadow_tbegin", m_shadow, shadow_tbegin);
    read_layer(node, "diffuse_texture", "diffuse_tbegin", m_diffuse, diffuse_tbegin);
    read_layer(node, "specular_texture", "specular_tbegin", m_specular, specular_tbegin);
    place_layer(m_base, base_tbegin);
    place_layer(m_shadow, shadow_tbegin);
    place_layer(m_diffuse, diffuse_tbegin);
    place_layer(m_specular, specular_tbegin);

    StringStream animation(get_skin_text(key("animation")));
    m_animation.clear();
    read_texture_entries(animation, m_animation);
    if (!m_animation.empty())
        set_frame(m_animation.front());

    read_interned(key("tip"), &m_tip);
}

void Item::read_layer(const SkinPath& node, const char* texture_key, const char* tbegin_key,
                      TextureLayer& layer, Vector2<int>& tbegin)
{
    layer.texture.read_name_from_skin(node + texture_key);
    read_vector2i(node + tbegin_key, &tbegin);
}

void Item::place_layer(TextureLayer& layer, const Vector2<int>& tbegin)
{
    if (layer.texture.empty())
        return;
    if (const Texture* texture = layer.texture.get())
        texture->coordinates(layer.rect, m_size, ArtTexturePlacement::texel, tbegin, Vector2<int>{});
}

void Item::set_frame(const ResHandle<Texture>& frame)
{
    m_base.texture = frame;
    place_layer(m_base, Vector2<int>{});
}

void Item::attach(Field& field, const ItemPlacement& placement)
{
    m_field = &field;
    m_dead = false;
    build_body(placement);
}

void Item::build_body(const ItemPlacement& placement)
{
    KQ_ASSERT(m_field);
    BodyDef def;
    def.user_data = this;
    def.position = to_metres(placement.position);
    def.angle = 0.0f;
    def.linear_damping = m_linear_damping;
    def.angular_damping = m_angular_damping;
    def.allow_sleep = true;
    def.is_sleeping = false;
    def.is_bullet = true;
    m_body = m_field->world().create_body(def);
    if (!m_body)
        return;

    add_shapes(m_size.x * 0.5f * metres_per_pixel, m_size.y * 0.5f * metres_per_pixel);
    m_body->set_mass_from_shapes();
    m_body->set_xform(to_metres(placement.position), placement.angle);
    if (m_awning)
        m_field->add_awning(this);
}

void Item::add_shapes(float hx, float hy)
{
    switch (m_form) {
    case Form::circle: {
        CircleDef circle;
        circle.local_position.SetZero();
        circle.radius = hx;
        create_shape(circle);
        break;
    }
    case Form::rect: {
        PolygonDef box;
        box.set_as_box(hx, hy);
        create_shape(box);
        break;
    }
    case Form::polygons:
        for (const std::vector<Vector2<float>>& outline : m_polygons) {
            if (outline.empty())
                continue;
            PolygonDef polygon;
            const std::size_t count = std::min(outline.size(), max_polygon_points);
            for (std::size_t i = 0; i < count; ++i)
                polygon.vertices[i] = to_metres(outline[i]);
            polygon.vertex_count = int(count);
            create_shape(polygon);
        }
        break;
    case Form::octagon: {
        const float a = 0.44f;
        PolygonDef octagon;
        octagon.vertices = {b2Vec2(-hx, a * hy), b2Vec2(-hx, -a * hy), b2Vec2(-a * hx, -hy),
                            b2Vec2(a * hx, -hy), b2Vec2(hx, -a * hy),  b2Vec2(hx, a * hy),
                            b2Vec2(a * hx, hy),  b2Vec2(-a * hx, hy)};
        octagon.vertex_count = 8;
        create_shape(octagon);
        break;
    }
    default:
        break;
    }
}

void Item::create_shape(ShapeDef& def)
{
    KQ_ASSERT(m_body);
    def.density = m_density * metres_per_pixel;
    def.friction = m_side_friction;
    def.restitution = m_restitution;
    collision_filter(def.filter);
    m_body->create_shape(def);
}

void Item::collision_filter(FilterData& filter) const
{
    std::uint16_t bits = 0;
    if (m_height > 0.5f)
        bits = m_air_cg;
    else if (m_height > -0.1f)
        bits = m_ground_cg;
    filter.category_bits = bits;
    filter.mask_bits = bits;
    filter.group_index = 0;
}

void Item::destroy_body()
{
    if (!m_body)
        return;
    flush_captions();
    if (m_awning && m_field)
        m_field->remove_awning(this);
    m_body->world().destroy_body(m_body);
    m_body = nullptr;
}

void Item::set_height(float height)
{
    if (height == m_height)
        return;
    m_height = height;
    if (m_body) {
        for (const auto& shape : m_body->shapes()) {
            FilterData filter = shape->filter_data();
            collision_filter(filter);
            shape->set_filter_data(filter);
            if (m_field)
                m_body->world().refilter(shape.get());
        }
        m_body->set_xform(m_body->position(), m_body->angle());
        if (m_field)
            m_field->on_item_height_changed(*this);
    }
    const float s = 1.0f + (height - m_zero_height) * 0.1f;
    m_scale = {s, s};
}

bool Item::contains(const Vector2<float>& point) const
{
    KQ_ASSERT(m_body);
    const b2Vec2 p = to_metres(point);
    return std::any_of(m_body->shapes().begin(), m_body->shapes().end(),
                       [&p](const auto& shape) { return shape->test_point(p); });
}

void Item::set_position(const Vector2<float>& point)
{
    KQ_ASSERT(m_body);
    m_body->set_xform(to_metres(point), m_body->angle());
}

void Item::set_angle(float angle)
{
    KQ_ASSERT(m_body);
    m_body->set_xform(m_body->position(), angle);
}

Vector2<float> Item::velocity() const
{
    KQ_ASSERT(m_body);
    return to_pixels(m_body->linear_velocity());
}

void Item::set_velocity(const Vector2<float>& velocity)
{
    KQ_ASSERT(m_body);
    m_body->set_linear_velocity(to_metres(velocity));
}

void Item::set_angular_velocity(float velocity)
{
    KQ_ASSERT(m_body);
    m_body->set_angular_velocity(velocity);
}

float Item::mass() const
{
    KQ_ASSERT(m_body);
    return m_body->mass();
}

Vector2<float> Item::to_world(const Vector2<float>& local) const
{
    return plus(position(), rotated(local, angle()));
}

Vector2<float> Item::to_local(const Vector2<float>& world) const
{
    return rotated(world - position(), -angle());
}

void Item::apply_impulse(const Vector2<float>& impulse, const Vector2<float>& point)
{
    KQ_ASSERT(m_body);
    m_body->wake_up();
    m_body->apply_impulse(to_metres(impulse), to_metres(point));
}

void Item::apply_central_impulse(const Vector2<float>& impulse)
{
    KQ_ASSERT(m_body);
    m_body->wake_up();
    m_body->apply_impulse(to_metres(impulse), m_body->position());
}

void Item::apply_force(const Vector2<float>& force, const Vector2<float>& point)
{
    KQ_ASSERT(m_body);
    m_body->wake_up();
    m_body->apply_force(to_metres(force), to_metres(point));
}

void Item::apply_central_force(const Vector2<float>& force)
{
    KQ_ASSERT(m_body);
    m_body->wake_up();
    m_body->apply_force(to_metres(force), m_body->position());
}

void Item::jump(float speed)
{
    m_jumping = true;
    m_vertical_speed = speed;
}

void Item::fall()
{
    m_falling = true;
    m_vertical_speed = 0.0f;
}

void Item::add_points(int points, const ItemCaption& caption)
{
    m_points += points;
    if (!caption.text.empty())
        m_captions.push_back(caption);
}

void Item::update(int dt)
{
    const float t = float(dt) * 0.001f;
    apply_ground_friction(t);
    follow_drag_target();
    if (m_jumping || m_falling)
        move_height(t);
    wobble_specular(t);
    if (!m_tip.empty()) {
        const Vector2<float> p = position();
        m_field->game().show_tip(m_tip, Vector2<int>{int(p.x), int(p.y)});
        m_tip = StrCache();
    }
}

void Item::apply_ground_friction(float t)
{
    if (!m_body || m_body->mass() <= 0.0f || is_zero(m_friction) || m_field->has_initial_bonus(Bonus::slipperiness))
        return;
    const float f = m_field->friction_coefficient() * m_friction * m_body->mass();
    const Vector2<float> v = velocity();
    if (v.x * v.x + v.y * v.y < 9.0f)
        m_body->set_linear_velocity(b2Vec2(0.0f, 0.0f));
    else if (f > 0.0f)
        apply_central_force(v.with_length(f) * -1.0f);

    const float w = m_body->angular_velocity();
    if (std::fabs(w) < 0.02f) {
        m_body->set_angular_velocity(0.0f);
    } else if (f > 0.0f) {
        // A body that cannot turn has no inverse inertia: nothing to slow.
        const float slowing = std::min(std::fabs(w), f * 0.2f * m_body->inv_inertia() * t);
        m_body->set_angular_velocity(w > 0.0f ? w - slowing : w + slowing);
    }
}

void Item::drag_to(const Vector2<float>& point)
{
    m_dragged = true;
    m_drag_target = point;
}

void Item::end_drag()
{
    m_dragged = false;
    if (m_body)
        m_body->set_linear_velocity(b2Vec2(0.0f, 0.0f));
}

void Item::follow_drag_target()
{
    if (m_dragged && m_body)
        set_velocity((m_drag_target - body_position()) * 10.0f);
}

void Item::move_height(float t)
{
    const float before = m_height;
    m_vertical_speed -= 30.0f * t;
    float height = m_height + m_vertical_speed * t;
    if (m_jumping) {
        height = std::max(height, 0.0f);
        if (height == 0.0f) {
            m_vertical_speed = std::max(-0.25f * m_vertical_speed - 0.5f, 0.0f);
            if (m_vertical_speed == 0.0f)
                m_jumping = false;
        }
    } else {
        if (m_body)
            m_body->set_linear_velocity(0.85f * m_body->linear_velocity());
        if (before < -5.0f) {
            on_fallen();
            m_dead = true;
        }
    }
    set_height(height);
}

void Item::wobble_specular(float t)
{
    if (!m_body || !m_specular.texture.get())
        return;
    const float a = std::fabs(m_body->angular_velocity());
    const float r = random_float(a) - a * 0.5f;
    const float limit = std::min(0.1f * a, 0.314159f);
    m_specular_angle = std::clamp(m_specular_angle + r * t, -limit, limit);
}

void Item::on_contact(Item& other, const ContactInfo& info)
{
    KQ_ASSERT(m_field);
    if (m_tinkling_priority < other.m_tinkling_priority)
        return;
    // Of two items of one priority the one later in address order plays, so a hit rings once.
    if (m_tinkling_priority == other.m_tinkling_priority && !std::less<const Item*>()(&other, this))
        return;
    const int now = m_field->field_time();
    if (m_next_tinkling_time >= now)
        return;
    const float strength = info.normal_impulse + info.tangent_impulse;
    if (strength <= 500.0f)
        return;
    const float volume = (std::min(strength, 3000.0f) - 500.0f) * 0.0004f;
    const float pan = Audio::instance() ? Audio::instance()->pan_for_x(info.position.x) : 0.0f;
    const Sample* sample = m_tinkling_sample.get();
    m_sound.play(sample, false, pan, volume, 0);
    m_next_tinkling_time = now;
    if (sample)
        m_next_tinkling_time += sample->length() / (m_fast_tinkling ? 5 : 1);
}

void Item::flush_captions()
{
    KQ_ASSERT(m_field);
    const Vector2<float> centre = position();
    std::vector<TextSprite*> texts;
    for (const ItemCaption& caption : m_captions) {
        if (TextSprite* sprite = clone_described<TextSprite>(SkinPath("effects.floating_text"))) {
            sprite->set_color(caption.colour);
            sprite->set_text(caption.text);
            texts.push_back(sprite);
        }
    }
    m_captions.clear();
    if (!texts.empty()) {
        // The captions stack upwards from one text height above the centre; the stack as a
        // whole keeps inside the field's text bounds.
        const Vector2<float> one = texts.front()->size();
        const float count = float(texts.size());
        const Vector2<float> middle{centre.x, centre.y - (count + 1.0f) * one.y / 2.0f};
        const Vector2<float> kept = m_field->text_position(middle, {one.x, count * one.y});
        Vector2<float> p{kept.x, kept.y + (count + 1.0f) * one.y / 2.0f};
        for (TextSprite* sprite : texts) {
            p.y -= sprite->size().y;
            sprite->set_position(p);
            sprite->center_pivot();
            m_field->effect_layer().add_child(SharedPtr<Sprite>(sprite));
        }
    }
    if (m_points > 0)
        m_field->floating_text(centre, "+ " + std::to_string(m_points), Color{1.0f, 1.0f, 1.0f, 1.0f});
    m_points = 0;
}

}
