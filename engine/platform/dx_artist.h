#pragma once

#include <vector>

#include "engine/platform/artist.h"

namespace kq {

class Window;

/// The artist of one screen on the renderer's device: it binds textures and stages, sets the
/// blend and addressing modes, clips by a viewport with an orthographic projection of the
/// scissor rectangle, and draws each batch with one device call. Created by its screen, which
/// calls `reinit` whenever the device objects must be made anew.
class DXArtist : public Artist
{
public:
    /// No device objects yet; draws into the window's client area.
    explicit DXArtist(Window* window);

    /// Makes the vertex storage and sets the fixed device state; false when it cannot.
    bool reinit();
    /// Gives the vertex storage back.
    void release_buffers();

    /// A copy of the window's drawing rectangle as drawn so far (top row first, alpha opaque)
    /// in a new texture at its top-left corner; null without a screen or device.
    SharedPtr<Texture> capture_screen() override;
    /// The whole client area in logical coordinates.
    Rect& screen_rect(Rect& out) override;
    void clear(const Color& color) override;

protected:
    void apply_second_texture(TextureHandle handle, std::uint32_t mode) override;
    void apply_blend(std::uint32_t mode) override;
    void apply_wrap(std::uint32_t flag) override;
    void apply_texture(TextureHandle handle) override;
    void apply_texture_factor(const Color& c) override;
    void apply_scissor(const Rect& r) override;
    bool device_begin_scene() override;
    void device_end_scene() override;
    void draw_batch() override;
    void lock() override;

private:
    Window* m_window;
    std::vector<DeviceVertex> m_vertex_buffer;
};

}
