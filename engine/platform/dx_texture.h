#pragma once

#include <cstdint>
#include <vector>

#include "engine/host/gpu/gpu_device.h"
#include "engine/platform/texture.h"

namespace kq {

class Stream;

/// Pixel formats a texture can be asked for, numbered as the device numbers them.
inline constexpr std::int32_t texture_format_unknown = host::gpu_format_unknown;
inline constexpr std::int32_t texture_format_a8r8g8b8 = host::gpu_format_a8r8g8b8;
inline constexpr std::int32_t texture_format_x8r8g8b8 = host::gpu_format_x8r8g8b8;

/// A texture on the graphics device of the running renderer, made from an image file or
/// empty at a size. Only the device holds its pixels: what reads or writes them (an alpha hit
/// test, a screen capture) reads them back once and a copy is kept from then on; the merging
/// of two textures into one colour-plus-alpha texture reads both and keeps neither copy. The low 4 bits of its mode ask
/// for a format: 7 or 8 opaque (alpha ignored), 15 with alpha, anything else the file's own.
/// A texture that outlives its device (or the renderer) lets go of nothing when destroyed.
class DXTexture : public Texture
{
public:
    /// No device texture yet; all sizes 0.
    explicit DXTexture(std::uint32_t mode);
    ~DXTexture() override;

    /// Decodes the whole stream as an image file and makes the device texture in the mode's
    /// format (the file's own without one); false (no device texture) when it cannot be
    /// decoded or no device runs.
    bool create_from_memory(Stream& stream);
    /// Makes an empty (transparent black) device texture, its sides rounded up to powers of
    /// two; the image size stays as asked. False for a side of 0 or when no device runs. A
    /// format the device does not keep (only the two 32-bit ones) is made with alpha, and
    /// the change logged to "dxtex".
    bool create_empty(const Vector2<int>& size, std::int32_t format);

    TextureHandle handle() const override { return m_texture; }
    /// Takes this texture's alpha from the blue channel of `alpha`; needs mode 15 here,
    /// mode 8 there and equal sizes, else throws.
    void mix(const Texture& alpha) override;
    /// The pixel word (alpha, red, green, blue from the high byte down); outside the texture
    /// "DXTexture::lock failed." is logged and the answer is opaque black.
    std::uint32_t pixel(const Vector2<int>& p) const override;
    /// The pixel at (uv.x * width, uv.y * height), truncated.
    std::uint32_t pixel_at(const Vector2<float>& uv) const override;

    /// The mode it was made with.
    std::uint32_t mode() const { return m_mode; }
    /// The format asked of the device by the mode.
    std::int32_t format() const;
    /// Replaces the pixels of the rectangle at (0, 0) with RGBA rows (top row first), and the
    /// device texture with them. Used by screen captures.
    void write_pixels(int width, int height, const std::vector<std::uint8_t>& rgba);

private:
    // Makes the device texture of the pixels in the format `made`, logging it when the
    // format asked for was another.
    bool upload(std::int32_t requested, std::int32_t made, const Vector2<int>& size, const Vector2<int>& image,
                std::vector<std::uint8_t>& pixels);
    void release();
    // Fills the copy of the pixels from the device unless it is there; false when it cannot.
    bool read_back() const;

    std::uint32_t m_mode;
    host::GpuTexture m_texture = 0;
    std::uint64_t m_device = 0;           // the device generation the texture lives on
    mutable std::vector<std::uint8_t> m_pixels;  // RGBA, width x height, top row first; empty until read
};

}

KQ_TYPE_NAME(kq::DXTexture, "class kq::DXTexture");
