#include "engine/platform/artist.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"

namespace kq {

namespace {

constexpr std::uint32_t vertices_per_primitive[] = {2, 3, 4};

std::uint32_t vertices_of(std::uint32_t kind)
{
    return kind < 3 ? vertices_per_primitive[kind] : 1;
}

const Color opaque_white{1, 1, 1, 1};

// A channel clamped to [0, 1] (NaN counting as 0) times 255, truncated. Channels out of range
// are clamped, not wrapped: 1.5 must give full intensity, not a dim byte.
inline std::uint32_t channel_byte(float channel)
{
    return static_cast<std::uint32_t>((channel > 0.0f ? (channel < 1.0f ? channel : 1.0f) : 0.0f) * 255.0f);
}

inline std::uint32_t pack_color(float r, float g, float b, float a)
{
    return channel_byte(a) << 24 | channel_byte(r) << 16 | channel_byte(g) << 8 | channel_byte(b);
}

}

// Misuse is logged with its source place and otherwise ignored.
#define KQ_MISUSE(message) log_error(message, source_file_name(__FILE__), __LINE__)

std::uint32_t primitive_count(std::uint32_t vertices, std::uint32_t kind)
{
    return kind < 3 ? vertices / vertices_per_primitive[kind] : 0;
}

Artist::Artist() : m_fps_clock(time_ms()) {}

Artist::~Artist() = default;

std::uint32_t Artist::device_color(const Color& color) const
{
    return pack_color(color.r, color.g, color.b, color.a);
}

bool Artist::begin_scene()
{
    if (m_in_scene) {
        KQ_MISUSE("begin_scene already called");
        return false;
    }
    m_transformation = Transform();
    m_transformation_stack.clear();
    m_scissor_stack.clear();
    m_color_stack.clear();
    m_global_color = opaque_white;
    m_texture_factor = opaque_white;
    m_last_draw_calls = std::exchange(m_draw_calls, 0);
    m_last_quads = std::exchange(m_quads, 0);
    m_last_area = std::exchange(m_area, 0.0f);
    if (!device_begin_scene())
        return false;
    m_in_scene = true;
    lock();
    m_render_state = 0;
    apply_blend(0);
    apply_wrap(0);
    apply_texture(0);
    apply_second_texture(0, 0);
    Rect screen;
    apply_scissor(screen_rect(screen));
    apply_primitive_kind(primitive_quads);
    return true;
}

void Artist::end_scene()
{
    if (!m_in_scene) {
        KQ_MISUSE("end_scene already called");
        return;
    }
    flush();
    unlock();
    device_end_scene();
    ++m_frame_count;
    m_in_scene = false;
    const std::int64_t now = time_ms();
    if (now >= m_fps_clock + 1000) {
        m_fps = m_frame_count;
        m_frame_count = 0;
        m_fps_clock = now;
    }
}

void Artist::push_transformation()
{
    m_transformation_stack.push_back(m_transformation);
}

void Artist::pop_transformation()
{
    if (m_transformation_stack.empty()) {
        KQ_MISUSE("Transformations stack underflow");
        return;
    }
    m_transformation = m_transformation_stack.back();
    m_transformation_stack.pop_back();
}

void Artist::push_translation(const Vector2<float>& d)
{
    push_transformation();
    translate(d);
}

void Artist::push_translation(const Vector2<int>& d)
{
    push_translation(Vector2<float>{float(d.x), float(d.y)});
}

void Artist::translate(const Vector2<float>& d)
{
    Transform& t = m_transformation;
    t.m[6] += d.x * t.m[0] + d.y * t.m[3];
    t.m[7] += d.x * t.m[1] + d.y * t.m[4];
}

void Artist::transform(const Transform& m)
{
    m_transformation = m * m_transformation;
}

void Artist::push_global_color()
{
    m_color_stack.push_back(m_global_color);
}

void Artist::multiply_global_color(const Color& c)
{
    push_global_color();
    m_global_color = {m_global_color.r * c.r, m_global_color.g * c.g, m_global_color.b * c.b,
                      m_global_color.a * c.a};
}

void Artist::pop_global_color()
{
    if (m_color_stack.empty()) {
        KQ_MISUSE("Global color stack underflow");
        return;
    }
    m_global_color = m_color_stack.back();
    m_color_stack.pop_back();
}

void Artist::push_scissor(const Rect& r)
{
    flush();
    m_scissor_stack.push_back(m_scissor);
    const Vector2<float> corner = m_transformation.transform_point({r.x, r.y});
    const Vector2<float> size = m_transformation.transform_direction({r.w, r.h});
    const float x = std::max(corner.x, m_scissor.x);
    const float y = std::max(corner.y, m_scissor.y);
    const float right = std::min(corner.x + size.x, m_scissor.x + m_scissor.w);
    const float bottom = std::min(corner.y + size.y, m_scissor.y + m_scissor.h);
    apply_scissor({x, y, std::max(right - x, 0.0f), std::max(bottom - y, 0.0f)});
}

void Artist::push_scissor(const RectI& r)
{
    push_scissor(Rect{float(r.x), float(r.y), float(r.w), float(r.h)});
}

void Artist::pop_scissor()
{
    if (m_scissor_stack.empty()) {
        KQ_MISUSE("Scissor stack underflow");
        return;
    }
    flush();
    apply_scissor(m_scissor_stack.back());
    m_scissor_stack.pop_back();
}

void Artist::set_render_state(std::uint32_t word)
{
    if (word == m_render_state)
        return;
    flush();
    const std::uint32_t changed = (m_render_state ^ word) & 0x3FF;
    m_render_state = word;
    if (changed & render_blend_mask)
        apply_blend(word & render_blend_mask);
    if (changed & render_wrap)
        apply_wrap((word & render_wrap) >> 8);
    if (changed & render_second_mode)
        apply_second_texture(m_second_texture, (word & render_second_mode) >> 9);
}

void Artist::reset_render_state()
{
    set_render_state(0);
    set_texture_factor(opaque_white);
    unbind_texture();
    unbind_second_texture();
}

void Artist::set_texture(const Texture* texture)
{
    const TextureHandle handle = texture ? texture->handle() : 0;
    if (handle == m_texture)
        return;
    flush();
    apply_texture(handle);
}

void Artist::set_second_texture(const Texture* texture)
{
    const TextureHandle handle = texture ? texture->handle() : 0;
    if (handle == m_second_texture)
        return;
    flush();
    apply_second_texture(handle, (m_render_state & render_second_mode) >> 9);
}

void Artist::set_textures(const Texture* texture, const Texture* second)
{
    set_texture(texture);
    set_second_texture(second);
}

void Artist::unbind_texture()
{
    set_texture(nullptr);
}

void Artist::unbind_second_texture()
{
    set_second_texture(nullptr);
}

void Artist::set_texture_factor(const Color& c)
{
    if (c == m_texture_factor)
        return;
    flush();
    apply_texture_factor(c);
}

void Artist::add_quad(const Quad& quad)
{
    if (!reserve(primitive_quads))
        return;
    const DeviceVertex* first = m_vertices + m_vertex_count;
    add_vertices(quad.v.data(), 4);
    // The area of any simple quad is half the cross product of its diagonals.
    const float d1x = first[2].x - first[0].x;
    const float d1y = first[2].y - first[0].y;
    const float d2x = first[3].x - first[1].x;
    const float d2y = first[3].y - first[1].y;
    m_area += 0.5f * std::fabs(d1x * d2y - d1y * d2x);
    ++m_quads;
}

void Artist::add_line(const QuadVertex& a, const QuadVertex& b)
{
    if (!reserve(primitive_lines))
        return;
    const QuadVertex line[] = {a, b};
    add_vertices(line, 2);
}

void Artist::add_quad_outline(const Quad& quad)
{
    for (std::size_t i = 0; i < 4; ++i)
        add_line(quad.v[i], quad.v[(i + 1) % 4]);
}

namespace {

Quad rect_quad(const Rect& r, const Color& c, const Rect& uv)
{
    const float xs[] = {r.x, r.x + r.w, r.x + r.w, r.x};
    const float ys[] = {r.y, r.y, r.y + r.h, r.y + r.h};
    const float us[] = {uv.x, uv.x + uv.w, uv.x + uv.w, uv.x};
    const float vs[] = {uv.y, uv.y, uv.y + uv.h, uv.y + uv.h};
    Quad quad;
    for (std::size_t i = 0; i < 4; ++i)
        quad.v[i] = {xs[i], ys[i], c.r, c.g, c.b, c.a, us[i], vs[i], 0.0f, 0.0f};
    return quad;
}

}

void Artist::draw_texture(const Texture* texture, const Rect& r, const Color& c, const Vector2<int>& a,
                          const Vector2<int>& b)
{
    if (!texture)
        return;
    Rect uv;
    texture->coordinates(uv, {r.w, r.h}, ArtTexturePlacement::full, a, b);
    set_texture(texture);
    add_quad(rect_quad(r, c, uv));
}

void Artist::fill_rect(const Rect& r, const Color& c)
{
    unbind_texture();
    unbind_second_texture();
    add_quad(rect_quad(r, c, {}));
}

void Artist::draw_line(const Vector2<float>& a, const Vector2<float>& b)
{
    unbind_texture();
    unbind_second_texture();
    add_line({a.x, a.y, 1, 1, 1, 1}, {b.x, b.y, 1, 1, 1, 1});
}

void Artist::flush()
{
    if (m_vertex_count == 0)
        return;
    if (!m_vertices) {
        KQ_MISUSE("No vertex buffer");
        return;
    }
    unlock();
    draw_batch();
    ++m_draw_calls;
    lock();
}

void Artist::apply_second_texture(TextureHandle handle, std::uint32_t)
{
    m_second_texture = handle;
}

void Artist::apply_texture(TextureHandle handle)
{
    m_texture = handle;
}

void Artist::apply_texture_factor(const Color& c)
{
    m_texture_factor = c;
}

void Artist::apply_scissor(const Rect& r)
{
    m_scissor = r;
}

void Artist::apply_primitive_kind(std::uint32_t kind)
{
    m_primitive_kind = kind;
}

void Artist::lock()
{
    if (m_vertices)
        KQ_MISUSE("Vertex Buffer already locked");
    m_vertex_count = 0;
    m_drop_logged = false;
}

void Artist::unlock()
{
    if (!m_vertices)
        KQ_MISUSE("Vertex Buffer already unlocked");
    m_vertices = nullptr;
}

bool Artist::reserve(std::uint32_t kind)
{
    if (kind == m_primitive_kind) {
        if (m_vertex_count + vertices_of(kind) > vertex_capacity)
            flush();
    } else {
        flush();
        apply_primitive_kind(kind);
    }
    return has_room_for_geometry();
}

bool Artist::has_room_for_geometry()
{
    if (!m_vertices) {
        // Outside a scene, or after the device failed to give storage: never write through
        // the missing buffer. One message per lock cycle is enough to find the fault.
        if (!m_drop_logged)
            KQ_MISUSE("No vertex buffer");
        m_drop_logged = true;
        return false;
    }
    // Inside an empty scissor nothing is visible: the geometry is dropped here so that the
    // device never has to set up a degenerate viewport for it.
    return m_scissor.w > 0.0f && m_scissor.h > 0.0f;
}

void Artist::add_vertices(const QuadVertex* vertices, std::uint32_t n)
{
    // The state is read once into locals: the stores into the buffer could otherwise alias
    // the members and force them to be read again for every vertex.
    const std::array<float, 9> t = m_transformation.m;
    const Color global = m_global_color;
    const float offset = m_primitive_kind == primitive_lines ? 0.5f : 0.0f;
    DeviceVertex* out = m_vertices + m_vertex_count;
    for (std::uint32_t i = 0; i < n; ++i) {
        const QuadVertex& v = vertices[i];
        out[i].x = v.x * t[0] + v.y * t[3] + t[6] + offset;
        out[i].y = v.x * t[1] + v.y * t[4] + t[7] + offset;
        out[i].z = 0.5f;
        out[i].color = pack_color(v.r * global.r, v.g * global.g, v.b * global.b, v.a * global.a);
        out[i].tu = v.tu;
        out[i].tv = v.tv;
        out[i].tu2 = v.tu2;
        out[i].tv2 = v.tv2;
    }
    m_vertex_count += n;
}

}
