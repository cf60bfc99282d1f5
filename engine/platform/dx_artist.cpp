#include "engine/platform/dx_artist.h"

#include <algorithm>
#include <utility>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_screen.h"
#include "engine/platform/dx_texture.h"
#include "engine/platform/window.h"

namespace kq {

namespace {

host::GpuDevice* device()
{
    DXDraw* draw = DXDraw::instance();
    return draw ? draw->device() : nullptr;
}

}

DXArtist::DXArtist(Window* window) : m_window(window) {}

bool DXArtist::reinit()
{
    host::GpuDevice* gpu = device();
    if (!gpu) {
        log_error("Can't create D3D vertex buffer", source_file_name(__FILE__), __LINE__);
        return false;
    }
    m_vertex_buffer.assign(vertex_capacity, DeviceVertex{});
    gpu->set_fixed_state();
    return true;
}

void DXArtist::release_buffers()
{
    m_vertex_buffer = {};
}

SharedPtr<Texture> DXArtist::capture_screen()
{
    DXDraw* draw = DXDraw::instance();
    if (!draw || !m_window || !draw->screen_for(m_window) || !draw->device())
        return {};
    const RectI r = m_window->viewport();
    SharedPtr<DXTexture> texture(new DXTexture(15));
    if (!texture->create_empty({r.w, r.h}, texture_format_a8r8g8b8))
        return {};
    flush();
    std::vector<std::uint8_t> rgba;
    if (!draw->device()->read_pixels(r.x, r.y, r.w, r.h, rgba))
        return {};
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 255;
    texture->write_pixels(r.w, r.h, rgba);
    return texture;
}

Rect& DXArtist::screen_rect(Rect& out)
{
    const Vector2<int> size = m_window->client_size();
    const Transform& m = m_window->to_logical_transform();
    const Vector2<float> p0 = m.transform_point({0.0f, 0.0f});
    const Vector2<float> p1 = m.transform_point({float(size.x), float(size.y)});
    out = {p0.x, p0.y, p1.x - p0.x, p1.y - p0.y};
    if (out.w < 0) {
        out.x += out.w;
        out.w = -out.w;
    }
    if (out.h < 0) {
        out.y += out.h;
        out.h = -out.h;
    }
    return out;
}

void DXArtist::clear(const Color& color)
{
    if (host::GpuDevice* gpu = device())
        gpu->clear(device_color(color));
}

void DXArtist::apply_second_texture(TextureHandle handle, std::uint32_t mode)
{
    Artist::apply_second_texture(handle, mode);
    host::GpuDevice* gpu = device();
    if (!gpu)
        return;
    gpu->set_texture(1, host::GpuTexture(handle));
    if (!handle)
        gpu->set_second_stage(host::GpuStageOp::disable);
    else
        gpu->set_second_stage(mode == 1 ? host::GpuStageOp::blend_factor_alpha : host::GpuStageOp::modulate);
}

void DXArtist::apply_blend(std::uint32_t mode)
{
    host::GpuDevice* gpu = device();
    if (!gpu)
        return;
    using B = host::GpuBlend;
    switch (mode) {
    case blend_add:
        gpu->set_blend(B::src_alpha, B::one);
        break;
    case blend_multiply:
        gpu->set_blend(B::dest_color, B::zero);
        break;
    case blend_opaque:
        gpu->set_blend(B::one, B::zero);
        break;
    case blend_screen:
        gpu->set_blend(B::inv_dest_color, B::one);
        break;
    case blend_double:
        gpu->set_blend(B::dest_color, B::src_color);
        break;
    default:
        gpu->set_blend(B::src_alpha, B::inv_src_alpha);
        break;
    }
}

void DXArtist::apply_wrap(std::uint32_t flag)
{
    if (host::GpuDevice* gpu = device())
        gpu->set_wrap(flag == 1);
}

void DXArtist::apply_texture(TextureHandle handle)
{
    Artist::apply_texture(handle);
    if (host::GpuDevice* gpu = device())
        gpu->set_texture(0, host::GpuTexture(handle));
}

void DXArtist::apply_texture_factor(const Color& c)
{
    Artist::apply_texture_factor(c);
    if (host::GpuDevice* gpu = device())
        gpu->set_texture_factor(device_color(c));
}

void DXArtist::apply_scissor(const Rect& r)
{
    Artist::apply_scissor(r);
    host::GpuDevice* gpu = device();
    if (!gpu)
        return;
    // The scissor rectangle, in logical coordinates, is projected exactly onto its pixels.
    const Vector2<int> a = m_window->to_window({r.x, r.y});
    const Vector2<int> b = m_window->to_window({r.x + r.w, r.y + r.h});
    gpu->set_view(a.x, a.y, b.x - a.x, b.y - a.y, r.x, r.y, r.x + r.w, r.y + r.h);
}

bool DXArtist::device_begin_scene()
{
    DXDraw* draw = DXDraw::instance();
    return draw && draw->begin_frame(m_window);
}

void DXArtist::device_end_scene()
{
    if (DXDraw* draw = DXDraw::instance())
        draw->end_frame();
}

void DXArtist::draw_batch()
{
    host::GpuDevice* gpu = device();
    if (!gpu)
        return;
    switch (primitive_kind()) {
    case primitive_lines:
        gpu->draw(host::GpuPrimitive::lines, m_vertex_buffer.data(), vertex_count());
        break;
    case primitive_triangles:
        gpu->draw(host::GpuPrimitive::triangles, m_vertex_buffer.data(), vertex_count());
        break;
    case primitive_quads:
        gpu->draw(host::GpuPrimitive::quads, m_vertex_buffer.data(), vertex_count());
        break;
    default:
        break;
    }
}

void DXArtist::lock()
{
    Artist::lock();
    if (m_vertex_buffer.size() < vertex_capacity) {
        log_error("Can't lock vertex buffer", source_file_name(__FILE__), __LINE__);
        return;
    }
    m_vertices = m_vertex_buffer.data();
}

}
