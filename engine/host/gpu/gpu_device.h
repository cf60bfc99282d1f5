#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kq::host {

// The graphics device as the renderer uses it: one device for the process, drawing into the
// window it was made for and into further windows (swap chains), with fixed-function texture
// stages, blending, a viewport with an orthographic projection, batches of pre-transformed
// vertices and textures. Shaped after the calls the renderer makes, with their result codes.

/// Result codes of device calls.
inline constexpr std::int32_t gpu_ok = 0;
inline constexpr std::int32_t gpu_device_lost = std::int32_t(0x88760868);
inline constexpr std::int32_t gpu_device_not_reset = std::int32_t(0x88760869);
inline constexpr std::int32_t gpu_failed = std::int32_t(0x80004005);

/// Pixel formats of display modes and back buffers, numbered as the renderer logs them.
enum GpuFormat : std::int32_t {
    gpu_format_unknown = 0,
    gpu_format_a8r8g8b8 = 21,
    gpu_format_x8r8g8b8 = 22,
    gpu_format_r5g6b5 = 23,
    gpu_format_x1r5g5b5 = 24,
    gpu_format_a1r5g5b5 = 25,
};

/// What is known of the display adapter.
struct GpuAdapterInfo
{
    std::string driver;
    std::string description;
    std::uint32_t version_high = 0;  ///< product (high word) and version (low word)
    std::uint32_t version_low = 0;   ///< sub-version (high word) and build (low word)
    std::uint32_t vendor_id = 0;
    std::uint32_t device_id = 0;
    std::uint32_t subsys_id = 0;
    std::uint32_t revision = 0;
    std::uint32_t whql_level = 0;
};

/// A display mode.
struct GpuDisplayMode
{
    int width = 0;
    int height = 0;
    int refresh_rate = 0;
    std::int32_t format = gpu_format_unknown;
};

/// How a window is drawn into: back buffer size and format, windowed or full screen, and the
/// window (an SDL window made for OpenGL).
struct GpuPresentParameters
{
    int width = 1;
    int height = 1;
    std::int32_t format = gpu_format_unknown;
    bool windowed = true;
    void* window = nullptr;
};

/// A vertex as the device reads it (32 bytes): position with z, the colour word (alpha, red,
/// green, blue from the high byte down) and two texture-coordinate pairs.
struct GpuVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t color = 0;
    float tu = 0.0f;
    float tv = 0.0f;
    float tu2 = 0.0f;
    float tv2 = 0.0f;
};

/// Blend factors.
enum class GpuBlend { zero, one, src_alpha, inv_src_alpha, src_color, dest_color, inv_dest_color };

/// What the second texture stage does with its texture.
enum class GpuStageOp {
    disable,             ///< passes the first stage's result on
    modulate,            ///< texture times the first stage's result, colour and alpha
    blend_factor_alpha,  ///< colour: texture and result mixed by the texture factor's alpha
};

/// Kinds of a batch.
enum class GpuPrimitive { lines, triangles, quads };

/// A device texture; 0 is none.
using GpuTexture = std::uint32_t;
/// A render target: 0 is the device's own window, anything else a swap chain.
using GpuTarget = std::uintptr_t;

/// The device. Every call needs `create` to have succeeded, except the adapter queries.
class GpuDevice
{
public:
    virtual ~GpuDevice() = default;

    /// What draws, for the log ("" when the back end has nothing to say).
    virtual std::string renderer() const { return {}; }
    /// The adapter's identity; false when it cannot be read.
    virtual bool adapter_identifier(GpuAdapterInfo& out) = 0;
    /// The desktop's mode; false when it cannot be read.
    virtual bool desktop_mode(GpuDisplayMode& out) = 0;
    /// The number of display modes.
    virtual int mode_count() = 0;
    /// The display mode of an index below `mode_count`.
    virtual bool mode(int index, GpuDisplayMode& out) = 0;

    /// Makes the device for the window of the parameters; false when it cannot.
    virtual bool create(const GpuPresentParameters& pp) = 0;
    /// Whether the device can draw (`gpu_ok`), is lost (`gpu_device_lost`) or waits for a
    /// reset (`gpu_device_not_reset`).
    virtual std::int32_t test_cooperative_level() = 0;
    /// Resets a lost device for the parameters.
    virtual std::int32_t reset(const GpuPresentParameters& pp) = 0;
    /// A swap chain for another window; 0 when it cannot be made.
    virtual GpuTarget create_swap_chain(const GpuPresentParameters& pp) = 0;
    /// Gives a swap chain back.
    virtual void release_swap_chain(GpuTarget target) = 0;
    /// Draws into the target from now on.
    virtual bool set_render_target(GpuTarget target) = 0;
    /// Starts a frame.
    virtual bool begin_scene() = 0;
    /// Ends a frame.
    virtual bool end_scene() = 0;
    /// Shows the target's back buffer.
    virtual std::int32_t present(GpuTarget target) = 0;
    /// The size in pixels of the target's back buffer.
    virtual void target_size(GpuTarget target, int& width, int& height) = 0;

    /// Sets the state that never changes while drawing: no culling, lighting or depth,
    /// blending on, pixels of alpha 0 discarded, linear filtering, stage 0 texture times
    /// vertex colour.
    virtual void set_fixed_state() = 0;
    /// Fills the whole target with the colour word.
    virtual void clear(std::uint32_t argb) = 0;
    /// Sets the blend factors.
    virtual void set_blend(GpuBlend source, GpuBlend destination) = 0;
    /// Both stages wrap texture coordinates (true) or clamp them.
    virtual void set_wrap(bool wrap) = 0;
    /// Binds a texture on stage 0 or 1; 0 unbinds (stage 0 then draws the vertex colour).
    virtual void set_texture(int stage, GpuTexture texture) = 0;
    /// Sets what stage 1 does.
    virtual void set_second_stage(GpuStageOp op) = 0;
    /// Sets the constant colour of the texture stages.
    virtual void set_texture_factor(std::uint32_t argb) = 0;
    /// Limits drawing to the pixel rectangle of the target (top-left origin) and maps the
    /// rectangle left..right, top..bottom of vertex coordinates onto it. An empty rectangle
    /// draws nothing.
    virtual void set_view(int x, int y, int width, int height, float left, float top, float right,
                          float bottom) = 0;
    /// Draws vertices as primitives of a kind (quads as two triangles each: 0-1-2, 2-3-0).
    virtual void draw(GpuPrimitive kind, const GpuVertex* vertices, std::uint32_t count) = 0;

    /// A texture of the size with RGBA pixels, top row first (null: undefined content); 0 when
    /// it cannot be made.
    virtual GpuTexture create_texture(int width, int height, const std::uint8_t* rgba) = 0;
    /// Replaces a texture's pixels.
    virtual void update_texture(GpuTexture texture, int width, int height, const std::uint8_t* rgba) = 0;
    /// The RGBA pixels of a whole texture of the size, top row first; false when they cannot
    /// be read.
    virtual bool read_texture(GpuTexture texture, int width, int height, std::vector<std::uint8_t>& rgba) = 0;
    /// Deletes a texture.
    virtual void delete_texture(GpuTexture texture) = 0;
    /// The RGBA pixels of a rectangle of the current target (top-left origin, top row first).
    virtual bool read_pixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba) = 0;
};

}
