#include "engine/host/gpu/gl/gl_device.h"

#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>

#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace kq::host {

namespace {

// The vertices the stream buffer holds; the quad indices, 16-bit, cover all of them.
constexpr std::uint32_t stream_capacity = 65536;
// The most vertices one GL draw takes: whole lines, triangles and quads that fit the ring.
constexpr std::uint32_t max_draw_vertices = stream_capacity - stream_capacity % 12;

std::uint32_t vertices_per_primitive(GpuPrimitive kind)
{
    switch (kind) {
    case GpuPrimitive::lines:
        return 2;
    case GpuPrimitive::triangles:
        return 3;
    case GpuPrimitive::quads:
        return 4;
    }
    return 4;
}

const void* buffer_offset(std::size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

// The driver frees the memory of a frame's drawing when the next frame starts and takes it
// anew while drawing. Were the C library to give freed memory back to the system at once
// (or to map and unmap large blocks each time), every frame would fault all those pages in
// again: freed memory stays with the process.
void keep_freed_memory()
{
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

SDL_Window* sdl(void* window)
{
    return static_cast<SDL_Window*>(window);
}

std::int32_t format_of(Uint32 sdl_format)
{
    switch (sdl_format) {
    case SDL_PIXELFORMAT_ARGB8888:
        return gpu_format_a8r8g8b8;
    case SDL_PIXELFORMAT_RGB888:
    case SDL_PIXELFORMAT_RGBX8888:
    case SDL_PIXELFORMAT_BGR888:
        return gpu_format_x8r8g8b8;
    case SDL_PIXELFORMAT_RGB565:
        return gpu_format_r5g6b5;
    case SDL_PIXELFORMAT_RGB555:
        return gpu_format_x1r5g5b5;
    case SDL_PIXELFORMAT_ARGB1555:
        return gpu_format_a1r5g5b5;
    default:
        return gpu_format_unknown;
    }
}

GpuDisplayMode mode_of(const SDL_DisplayMode& m)
{
    return {m.w, m.h, m.refresh_rate, format_of(m.format)};
}

GLenum gl_factor(GpuBlend factor)
{
    switch (factor) {
    case GpuBlend::zero:
        return GL_ZERO;
    case GpuBlend::one:
        return GL_ONE;
    case GpuBlend::src_alpha:
        return GL_SRC_ALPHA;
    case GpuBlend::inv_src_alpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case GpuBlend::src_color:
        return GL_SRC_COLOR;
    case GpuBlend::dest_color:
        return GL_DST_COLOR;
    case GpuBlend::inv_dest_color:
        return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

void color_floats(std::uint32_t argb, GLfloat out[4])
{
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

}

GlDevice::GlDevice() = default;

GlDevice::~GlDevice()
{
    if (m_context)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
}

bool GlDevice::adapter_identifier(GpuAdapterInfo& out)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* display = SDL_GetDisplayName(0);
    if (!driver)
        return false;
    out = {};
    out.driver = driver;
    out.description = display ? display : "";
    return true;
}

bool GlDevice::desktop_mode(GpuDisplayMode& out)
{
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0)
        return false;
    out = mode_of(m);
    return true;
}

int GlDevice::mode_count()
{
    return int(display_modes().size());
}

bool GlDevice::mode(int index, GpuDisplayMode& out)
{
    const std::vector<GpuDisplayMode> modes = display_modes();
    if (index < 0 || std::size_t(index) >= modes.size())
        return false;
    out = modes[std::size_t(index)];
    return true;
}

std::vector<GpuDisplayMode> GlDevice::display_modes()
{
    // Full screen covers the desktop without changing the display's mode, so the desktop's
    // mode is always offered, also where a driver lists nothing usable.
    std::vector<GpuDisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0)
            modes.push_back(mode_of(m));
    }
    GpuDisplayMode desktop;
    if (desktop_mode(desktop)) {
        const bool listed = std::any_of(modes.begin(), modes.end(), [&](const GpuDisplayMode& m) {
            return m.width == desktop.width && m.height == desktop.height && m.format == desktop.format;
        });
        if (!listed)
            modes.push_back(desktop);
    }
    return modes;
}

bool GlDevice::create(const GpuPresentParameters& pp)
{
    if (!pp.window || m_context)
        return false;
    keep_freed_memory();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GLContext context = SDL_GL_CreateContext(sdl(pp.window));
    if (!context)
        return false;
    m_context = context;
    m_window = pp.window;
    m_target = 0;
    // Frames are presented at the display's pace where the driver can wait for the vertical
    // retrace, so that the game does not draw frames nobody sees; elsewhere the scheduler's
    // sleep between frames paces it.
    if (SDL_GL_SetSwapInterval(1) != 0)
        SDL_GL_SetSwapInterval(0);
    create_buffers();
    set_fixed_state();
    return true;
}

std::int32_t GlDevice::test_cooperative_level()
{
    return m_context ? gpu_ok : gpu_device_lost;
}

std::int32_t GlDevice::reset(const GpuPresentParameters&)
{
    // A GL context survives every change of its window: there is nothing to reset.
    return m_context ? gpu_ok : gpu_failed;
}

GpuTarget GlDevice::create_swap_chain(const GpuPresentParameters& pp)
{
    if (!m_context || !pp.window || !(SDL_GetWindowFlags(sdl(pp.window)) & SDL_WINDOW_OPENGL))
        return 0;
    return reinterpret_cast<GpuTarget>(pp.window);
}

void GlDevice::release_swap_chain(GpuTarget target)
{
    if (m_target == target && target != 0)
        set_render_target(0);
}

bool GlDevice::set_render_target(GpuTarget target)
{
    if (!m_context)
        return false;
    SDL_Window* window = sdl(window_of(target));
    // Making the context current again costs a synchronisation in some drivers.
    const bool current = SDL_GL_GetCurrentContext() == m_context && SDL_GL_GetCurrentWindow() == window;
    if (!current && SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(m_context)) != 0)
        return false;
    m_target = target;
    return true;
}

bool GlDevice::begin_scene()
{
    return m_context != nullptr;
}

bool GlDevice::end_scene()
{
    // Presenting flushes what was drawn.
    return m_context != nullptr;
}

std::int32_t GlDevice::present(GpuTarget target)
{
    if (!m_context)
        return gpu_failed;
    // The frame goes to the driver now: a swap of an offscreen surface does not flush, and
    // the driver would otherwise pile every frame's drawing up in memory.
    glFlush();
    SDL_GL_SwapWindow(sdl(window_of(target)));
    return gpu_ok;
}

void GlDevice::target_size(GpuTarget target, int& width, int& height)
{
    width = height = 0;
    if (void* window = window_of(target))
        SDL_GL_GetDrawableSize(sdl(window), &width, &height);
}

void GlDevice::set_fixed_state()
{
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    // Pixels of alpha 0 are discarded; 1 / 255 is the smallest alpha a byte colour reaches.
    glAlphaFunc(GL_GEQUAL, 1.0f / 255.0f);
    glDisable(GL_SCISSOR_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
        glActiveTexture(unit);
        glDisable(GL_TEXTURE_2D);
    }
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    m_bound[0] = m_bound[1] = 0;
    m_second_op = GpuStageOp::disable;
    bind_vertex_arrays();
}

void GlDevice::clear(std::uint32_t argb)
{
    GLfloat c[4];
    color_floats(argb, c);
    // A clear fills the whole target, whatever the view.
    int width = 0;
    int height = 0;
    target_size(m_target, width, height);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, width, height);
    glClearColor(c[0], c[1], c[2], c[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void GlDevice::set_blend(GpuBlend source, GpuBlend destination)
{
    glBlendFunc(gl_factor(source), gl_factor(destination));
}

void GlDevice::set_wrap(bool wrap)
{
    m_wrap = wrap;
    apply_wrap_to_bound();
}

void GlDevice::set_texture(int stage, GpuTexture texture)
{
    if (stage < 0 || stage > 1)
        return;
    m_bound[stage] = texture;
    apply_wrap_to_bound();
    glActiveTexture(stage == 0 ? GL_TEXTURE0 : GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (stage == 0) {
        if (texture)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
    } else {
        apply_second_stage();
    }
    glActiveTexture(GL_TEXTURE0);
}

void GlDevice::set_second_stage(GpuStageOp op)
{
    m_second_op = op;
    glActiveTexture(GL_TEXTURE1);
    apply_second_stage();
    glActiveTexture(GL_TEXTURE0);
}

void GlDevice::set_texture_factor(std::uint32_t argb)
{
    GLfloat c[4];
    color_floats(argb, c);
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
    }
}

void GlDevice::set_view(int x, int y, int width, int height, float left, float top, float right, float bottom)
{
    int target_width = 0;
    int target_height = 0;
    target_size(m_target, target_width, target_height);
    if (width <= 0 || height <= 0 || right == left || bottom == top) {
        // Nothing may be drawn: a scissor of no area, with no degenerate projection.
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
        return;
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(x, target_height - y - height, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void GlDevice::draw(GpuPrimitive kind, const GpuVertex* vertices, std::uint32_t count)
{
    if (!m_context || !vertices)
        return;
    const std::uint32_t per_primitive = vertices_per_primitive(kind);
    for (std::uint32_t done = 0; count - done >= per_primitive;) {
        const std::uint32_t n = std::min(count - done, max_draw_vertices) / per_primitive * per_primitive;
        const std::uint32_t first = stream(vertices + done, n);
        switch (kind) {
        case GpuPrimitive::lines:
            glDrawArrays(GL_LINES, GLint(first), GLsizei(n));
            break;
        case GpuPrimitive::triangles:
            glDrawArrays(GL_TRIANGLES, GLint(first), GLsizei(n));
            break;
        case GpuPrimitive::quads:
            // Quads start on a multiple of 4 in the ring: their triangles start at index
            // first / 4 * 6 of the quad indices.
            glDrawElements(GL_TRIANGLES, GLsizei(n / 4 * 6), GL_UNSIGNED_SHORT,
                           buffer_offset(first / 4 * 6 * sizeof(std::uint16_t)));
            break;
        }
        done += n;
    }
}

GpuTexture GlDevice::create_texture(int width, int height, const std::uint8_t* rgba)
{
    if (!m_context || width <= 0 || height <= 0)
        return 0;
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
    if (width > max_size || height > max_size)
        return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D, m_bound[0]);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

void GlDevice::update_texture(GpuTexture texture, int width, int height, const std::uint8_t* rgba)
{
    if (!m_context || !texture)
        return;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D, m_bound[0]);
}

bool GlDevice::read_texture(GpuTexture texture, int width, int height, std::vector<std::uint8_t>& rgba)
{
    if (!m_context || !texture || width <= 0 || height <= 0)
        return false;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint stored_width = 0;
    GLint stored_height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &stored_width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &stored_height);
    const bool fits = stored_width == width && stored_height == height;
    if (fits) {
        rgba.resize(std::size_t(width) * std::size_t(height) * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
    glBindTexture(GL_TEXTURE_2D, m_bound[0]);
    return fits && glGetError() == GL_NO_ERROR;
}

void GlDevice::delete_texture(GpuTexture texture)
{
    if (!m_context || !texture)
        return;
    for (int stage : {0, 1}) {
        if (m_bound[stage] == texture)
            set_texture(stage, 0);
    }
    glDeleteTextures(1, &texture);
}

bool GlDevice::read_pixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba)
{
    if (!m_context || width <= 0 || height <= 0)
        return false;
    int target_width = 0;
    int target_height = 0;
    target_size(m_target, target_width, target_height);
    const std::size_t row = std::size_t(width) * 4;
    std::vector<std::uint8_t> bottom_up(row * std::size_t(height));
    glReadBuffer(GL_BACK);
    glReadPixels(x, target_height - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    if (glGetError() != GL_NO_ERROR)
        return false;
    rgba.resize(bottom_up.size());
    for (int r = 0; r < height; ++r)
        std::memcpy(rgba.data() + std::size_t(r) * row, bottom_up.data() + std::size_t(height - 1 - r) * row, row);
    return true;
}

std::string GlDevice::renderer() const
{
    if (!m_context)
        return {};
    const auto text = [](GLenum name) {
        const GLubyte* s = glGetString(name);
        return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
    };
    return text(GL_RENDERER) + " / " + text(GL_VERSION);
}

void* GlDevice::window_of(GpuTarget target) const
{
    return target ? reinterpret_cast<void*>(target) : m_window;
}

void GlDevice::apply_wrap_to_bound()
{
    // Addressing belongs to the stages; GL keeps it with each texture, so it is set on
    // whatever each stage has bound.
    const GLint mode = m_wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    for (int stage : {0, 1}) {
        if (!m_bound[stage])
            continue;
        glActiveTexture(stage == 0 ? GL_TEXTURE0 : GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, m_bound[stage]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
    }
    glActiveTexture(GL_TEXTURE0);
}

void GlDevice::create_buffers()
{
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    m_vertex_buffer = names[0];
    m_index_buffer = names[1];
    glBindBuffer(GL_ARRAY_BUFFER, m_vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(stream_capacity * sizeof(GpuVertex)), nullptr, GL_STREAM_DRAW);
    m_stream_end = 0;
    // Quad q of the ring is the triangles 0-1-2 and 2-3-0 of its vertices 4q to 4q + 3.
    std::vector<std::uint16_t> indices;
    indices.reserve(stream_capacity / 4 * 6);
    for (std::uint32_t b = 0; b < stream_capacity; b += 4) {
        for (std::uint32_t k : {0u, 1u, 2u, 2u, 3u, 0u})
            indices.push_back(std::uint16_t(b + k));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_index_buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(std::uint16_t)), indices.data(),
                 GL_STATIC_DRAW);
}

void GlDevice::bind_vertex_arrays()
{
    // The layout of the ring never changes: the arrays point into it once, and each draw
    // names its first vertex.
    glBindBuffer(GL_ARRAY_BUFFER, m_vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_index_buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(GpuVertex), buffer_offset(offsetof(GpuVertex, x)));
    glEnableClientState(GL_COLOR_ARRAY);
    // The colour word is stored little-endian: bytes blue, green, red, alpha.
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(GpuVertex), buffer_offset(offsetof(GpuVertex, color)));
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(GpuVertex), buffer_offset(offsetof(GpuVertex, tu)));
    glClientActiveTexture(GL_TEXTURE1);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(GpuVertex), buffer_offset(offsetof(GpuVertex, tu2)));
    glClientActiveTexture(GL_TEXTURE0);
}

std::uint32_t GlDevice::stream(const GpuVertex* vertices, std::uint32_t count)
{
    // Writes start on a multiple of 4, as quads need.
    std::uint32_t first = (m_stream_end + 3) / 4 * 4;
    if (first + count > stream_capacity) {
        // The ring wrapped: fresh storage, so that no write waits for draws still reading
        // the old one.
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(stream_capacity * sizeof(GpuVertex)), nullptr, GL_STREAM_DRAW);
        first = 0;
    }
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(first * sizeof(GpuVertex)), GLsizeiptr(count * sizeof(GpuVertex)),
                    vertices);
    m_stream_end = first + count;
    return first;
}

void GlDevice::apply_second_stage()
{
    // Expects texture unit 1 active.
    if (m_second_op == GpuStageOp::disable || !m_bound[1]) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
    if (m_second_op == GpuStageOp::modulate) {
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    } else {
        // texture * factor.alpha + previous * (1 - factor.alpha)
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_CONSTANT);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    }
}

}
