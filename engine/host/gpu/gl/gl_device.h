#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/host/gpu/gpu_device.h"

namespace kq::host {

/// The device on OpenGL 2.1 (compatibility context) through SDL2: the only place that calls
/// GL. One context serves the device's window and every swap-chain window (each an SDL window
/// made for OpenGL). GL never loses its device: the cooperative level is always `gpu_ok`.
/// Vertices stream through one buffer object used as a ring, given fresh storage each time
/// it wraps; quads draw through one index buffer made with the device. Drawing a frame
/// allocates nothing. Making the device tells the C library to keep freed memory in the
/// process (the driver frees and retakes a frame's worth every frame), and presenting
/// flushes the frame to the driver.
class GlDevice : public GpuDevice
{
public:
    GlDevice();
    ~GlDevice() override;
    GlDevice(const GlDevice&) = delete;
    GlDevice& operator=(const GlDevice&) = delete;

    bool adapter_identifier(GpuAdapterInfo& out) override;
    bool desktop_mode(GpuDisplayMode& out) override;
    int mode_count() override;
    bool mode(int index, GpuDisplayMode& out) override;

    bool create(const GpuPresentParameters& pp) override;
    std::int32_t test_cooperative_level() override;
    std::int32_t reset(const GpuPresentParameters& pp) override;
    GpuTarget create_swap_chain(const GpuPresentParameters& pp) override;
    void release_swap_chain(GpuTarget target) override;
    bool set_render_target(GpuTarget target) override;
    bool begin_scene() override;
    bool end_scene() override;
    std::int32_t present(GpuTarget target) override;
    void target_size(GpuTarget target, int& width, int& height) override;

    void set_fixed_state() override;
    void clear(std::uint32_t argb) override;
    void set_blend(GpuBlend source, GpuBlend destination) override;
    void set_wrap(bool wrap) override;
    void set_texture(int stage, GpuTexture texture) override;
    void set_second_stage(GpuStageOp op) override;
    void set_texture_factor(std::uint32_t argb) override;
    void set_view(int x, int y, int width, int height, float left, float top, float right,
                  float bottom) override;
    void draw(GpuPrimitive kind, const GpuVertex* vertices, std::uint32_t count) override;

    GpuTexture create_texture(int width, int height, const std::uint8_t* rgba) override;
    void update_texture(GpuTexture texture, int width, int height, const std::uint8_t* rgba) override;
    bool read_texture(GpuTexture texture, int width, int height, std::vector<std::uint8_t>& rgba) override;
    void delete_texture(GpuTexture texture) override;
    bool read_pixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba) override;

    /// The GL renderer and version strings, for the log ("llvmpipe ... / 4.5 ...").
    std::string renderer() const override;

private:
    std::vector<GpuDisplayMode> display_modes();
    void* window_of(GpuTarget target) const;
    void apply_wrap_to_bound();
    void apply_second_stage();
    void create_buffers();
    void bind_vertex_arrays();
    std::uint32_t stream(const GpuVertex* vertices, std::uint32_t count);

    void* m_window = nullptr;   // the SDL window of the device
    void* m_context = nullptr;  // the SDL GL context
    GpuTarget m_target = 0;
    bool m_wrap = false;
    GpuTexture m_bound[2] = {0, 0};
    GpuStageOp m_second_op = GpuStageOp::disable;
    std::uint32_t m_vertex_buffer = 0;  // the GL buffer vertices stream through
    std::uint32_t m_index_buffer = 0;   // the GL buffer of the quads' triangles
    std::uint32_t m_stream_end = 0;     // the first vertex of the ring not written since it wrapped
};

}
