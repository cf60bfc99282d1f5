#pragma once

#include <cstdint>
#include <vector>

#include "engine/base/color.h"
#include "engine/base/rect.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/transform.h"
#include "engine/base/vector2.h"
#include "engine/host/gpu/gpu_device.h"
#include "engine/platform/quad.h"
#include "engine/platform/texture.h"

namespace kq {

/// A vertex as the device reads it: transformed position, z 0.5, the packed colour word and
/// the two texture-coordinate pairs (32 bytes).
using DeviceVertex = host::GpuVertex;

static_assert(sizeof(DeviceVertex) == 32);

/// Primitive kinds of a batch.
enum PrimitiveKind : std::uint32_t {
    primitive_lines = 0,      ///< 2 vertices a line
    primitive_triangles = 1,  ///< 3 vertices a triangle
    primitive_quads = 2,      ///< 4 vertices a quad, drawn as two triangles
};

/// The number of primitives of a kind in a number of vertices (0 for an unknown kind).
std::uint32_t primitive_count(std::uint32_t vertices, std::uint32_t kind);

/// Bits of the render-state word.
inline constexpr std::uint32_t render_blend_mask = 0x7;          ///< the blend mode
inline constexpr std::uint32_t render_wrap = 0x100;              ///< texture coordinates wrap
inline constexpr std::uint32_t render_second_mode = 0x200;       ///< second-stage combination

/// Blend modes (bits 0-2 of the render state); 6 and 7 blend as `blend_alpha`.
enum BlendMode : std::uint32_t {
    blend_alpha = 0,     ///< source alpha, one minus source alpha
    blend_add = 1,       ///< source alpha, one
    blend_multiply = 2,  ///< destination colour, zero
    blend_opaque = 3,    ///< one, zero
    blend_screen = 4,    ///< one minus destination colour, one
    blend_double = 5,    ///< destination colour, source colour
};

/// The drawing interface of one screen. It keeps the state of a frame (transformation, global
/// colour, scissor, render state, bound textures) with stacks for the first three, transforms
/// and colours geometry on the CPU as it is added, and hands it to the device implementation
/// in batches: a batch ends only when device state changes (kind, texture, render state,
/// texture factor, scissor), when 4000 vertices are full, at a screen capture, at the end of
/// the scene or on `flush`. Misuse is logged to "error" and has no effect; nothing throws.
/// Main thread only.
class Artist
{
public:
    /// Not in a scene, nothing locked, counters 0, the fps interval starting now.
    Artist();
    virtual ~Artist();
    Artist(const Artist&) = delete;
    Artist& operator=(const Artist&) = delete;

    /// A new texture holding a copy of the frame drawn so far (the batch is flushed first);
    /// null when no copy can be made.
    virtual SharedPtr<Texture> capture_screen() = 0;
    /// The whole drawing surface in the artist's coordinates.
    virtual Rect& screen_rect(Rect& out) = 0;
    /// Clears the render target to the colour.
    virtual void clear(const Color& color) = 0;
    /// The colour packed as a device word: alpha, red, green, blue from the high byte down,
    /// each channel clamped to [0, 1] (NaN as 0) and times 255 truncated.
    std::uint32_t device_color(const Color& color) const;

    /// Starts a frame: resets the transformation, colours, stacks and device state, and rolls
    /// the statistics over. False (nothing drawn, `end_scene` not to be called) when already in
    /// a scene or when the device cannot begin a frame now.
    bool begin_scene();
    /// Draws what is pending, ends and presents the frame and counts it for the fps figure.
    void end_scene();
    /// Whether a scene is open.
    bool in_scene() const { return m_in_scene; }

    /// Saves the transformation.
    void push_transformation();
    /// Restores the last saved transformation.
    void pop_transformation();
    /// Saves the transformation, then moves the origin by d in local coordinates.
    void push_translation(const Vector2<float>& d);
    /// As above with integer components.
    void push_translation(const Vector2<int>& d);
    /// Moves the origin by d in local coordinates, without saving.
    void translate(const Vector2<float>& d);
    /// Applies m before the current transformation (m is in local coordinates).
    void transform(const Transform& m);
    /// The current local-to-screen transformation.
    const Transform& transformation() const { return m_transformation; }

    /// Saves the global colour.
    void push_global_color();
    /// Saves the global colour, then multiplies it channel by channel by c.
    void multiply_global_color(const Color& c);
    /// Restores the last saved global colour.
    void pop_global_color();
    /// The colour every added vertex is multiplied by.
    const Color& global_color() const { return m_global_color; }

    /// Saves the scissor and limits drawing further to r (in local coordinates) intersected
    /// with the current scissor. While the result is empty nothing is drawn.
    void push_scissor(const Rect& r);
    /// As above with integer fields.
    void push_scissor(const RectI& r);
    /// Restores the last saved scissor.
    void pop_scissor();
    /// The current clipping rectangle in screen coordinates.
    const Rect& scissor() const { return m_scissor; }

    /// Sets the render-state word (blend mode, wrapping, second-stage mode).
    void set_render_state(std::uint32_t word);
    /// Render state 0, opaque white texture factor, no textures.
    void reset_render_state();
    /// The render-state word.
    std::uint32_t render_state() const { return m_render_state; }
    /// Binds a texture on the first stage (null for none).
    void set_texture(const Texture* texture);
    /// Binds a texture on the second stage (null for none).
    void set_second_texture(const Texture* texture);
    /// Both of the above.
    void set_textures(const Texture* texture, const Texture* second);
    /// Unbinds the first-stage texture.
    void unbind_texture();
    /// Unbinds the second-stage texture.
    void unbind_second_texture();
    /// Sets the constant colour of the texture stages.
    void set_texture_factor(const Color& c);
    /// The constant colour of the texture stages.
    const Color& texture_factor() const { return m_texture_factor; }

    /// Adds a quad to the batch.
    void add_quad(const Quad& quad);
    /// Adds a line to the batch.
    void add_line(const QuadVertex& a, const QuadVertex& b);
    /// Adds the outline of a quad as four lines.
    void add_quad_outline(const Quad& quad);
    /// Draws the whole image of a texture (placement full, `a` and `b` passed through) over r
    /// in colour c; nothing for a null texture.
    void draw_texture(const Texture* texture, const Rect& r, const Color& c, const Vector2<int>& a = {},
                      const Vector2<int>& b = {});
    /// Fills r with colour c, untextured.
    void fill_rect(const Rect& r, const Color& c);
    /// Draws an opaque white untextured line.
    void draw_line(const Vector2<float>& a, const Vector2<float>& b);
    /// Draws the pending batch.
    void flush();

    /// Frames ended in the last complete interval of at least a second.
    std::uint32_t fps() const { return m_fps; }
    /// Draw calls of the last frame.
    std::uint32_t last_draw_calls() const { return m_last_draw_calls; }
    /// Quads drawn in the last frame.
    std::uint32_t last_quads() const { return m_last_quads; }
    /// Screen area covered by the quads of the last frame.
    float last_area() const { return m_last_area; }

protected:
    /// Binds a texture on the second stage with its combination mode (0 or 1); 0 disables it.
    virtual void apply_second_texture(TextureHandle handle, std::uint32_t mode);
    /// Sets the blend factors of a mode.
    virtual void apply_blend(std::uint32_t mode) = 0;
    /// 1: both stages wrap texture coordinates; anything else: they clamp.
    virtual void apply_wrap(std::uint32_t flag) = 0;
    /// Binds a texture on the first stage; 0 unbinds.
    virtual void apply_texture(TextureHandle handle);
    /// Sets the constant texture-factor colour.
    virtual void apply_texture_factor(const Color& c);
    /// Limits drawing to the rectangle (which may be empty).
    virtual void apply_scissor(const Rect& r);
    /// Sets the kind of the next batch.
    virtual void apply_primitive_kind(std::uint32_t kind);
    /// Starts a device frame; false when the screen cannot draw now.
    virtual bool device_begin_scene() = 0;
    /// Ends the device frame and presents it.
    virtual void device_end_scene() = 0;
    /// Draws the vertex_count vertices of the buffer as primitives of the current kind; called
    /// unlocked and with vertex_count above 0.
    virtual void draw_batch() = 0;
    /// Resets the count; an implementation then points `m_vertices` at storage for
    /// `vertex_capacity` vertices, or leaves it null when it cannot.
    virtual void lock();
    /// Sets `m_vertices` to null; an implementation then hands the storage to the device.
    virtual void unlock();

    /// The device vertices a batch may hold.
    static constexpr std::uint32_t vertex_capacity = 4000;

    /// The bound first-stage texture.
    TextureHandle bound_texture() const { return m_texture; }
    /// The bound second-stage texture.
    TextureHandle bound_second_texture() const { return m_second_texture; }
    /// The kind of the vertices in the batch.
    std::uint32_t primitive_kind() const { return m_primitive_kind; }
    /// The vertices written since the last lock.
    std::uint32_t vertex_count() const { return m_vertex_count; }

    DeviceVertex* m_vertices = nullptr;  ///< the locked storage; null while unlocked

private:
    bool reserve(std::uint32_t kind);
    void add_vertices(const QuadVertex* vertices, std::uint32_t n);
    bool has_room_for_geometry();

    bool m_in_scene = false;
    Transform m_transformation;
    Color m_global_color{1, 1, 1, 1};
    std::uint32_t m_vertex_count = 0;
    std::int64_t m_fps_clock = 0;
    std::uint32_t m_frame_count = 0;
    std::uint32_t m_fps = 0;
    std::uint32_t m_draw_calls = 0;
    std::uint32_t m_last_draw_calls = 0;
    std::uint32_t m_quads = 0;
    std::uint32_t m_last_quads = 0;
    float m_area = 0.0f;
    float m_last_area = 0.0f;
    std::uint32_t m_render_state = 0;
    TextureHandle m_texture = 0;
    TextureHandle m_second_texture = 0;
    Color m_texture_factor{1, 1, 1, 1};
    std::uint32_t m_primitive_kind = primitive_quads;
    Rect m_scissor;
    bool m_drop_logged = false;
    std::vector<Transform> m_transformation_stack;
    std::vector<Rect> m_scissor_stack;
    std::vector<Color> m_color_stack;
};

}
