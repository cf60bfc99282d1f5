#pragma once

// An artist over a device that draws nothing and records everything, and a texture that is
// only a handle and a size: what tests of anything that draws check their output against.

#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/artist.h"
#include "engine/platform/texture.h"

namespace kq::test {

/// A texture with a fixed handle and size, whose pixels all read one word.
class PlainTexture : public Texture
{
public:
    /// A texture of `width` x `height` pixels showing an image of the same size.
    PlainTexture(TextureHandle handle, int width, int height) : PlainTexture(handle, width, height, width, height)
    {
    }
    /// A device texture of `width` x `height` showing an image of `image_width` x `image_height`.
    PlainTexture(TextureHandle handle, int width, int height, int image_width, int image_height)
        : m_handle(handle)
    {
        set_size(width, height, image_width, image_height);
    }

    TextureHandle handle() const override { return m_handle; }
    void mix(const Texture&) override {}
    std::uint32_t pixel(const Vector2<int>&) const override { return m_pixel; }
    std::uint32_t pixel_at(const Vector2<float>&) const override { return m_pixel; }

    TextureHandle m_handle;
    std::uint32_t m_pixel = 0xFF000000;
};

/// One batch as the device was asked to draw it, with the state it was drawn in.
struct RecordedBatch
{
    std::uint32_t kind = 0;
    TextureHandle texture = 0;
    TextureHandle second_texture = 0;
    std::uint32_t state = 0;
    Color factor;
    Rect scissor;
    std::vector<DeviceVertex> vertices;
};

/// An artist whose device keeps every flushed batch and writes every state call it receives
/// to `calls` as text ("blend 1", "wrap 0", "texture 7", "second 7 1", "factor 1 1 1 1",
/// "scissor 0 0 640 480", "kind 2", "clear 0 0 0 1", "begin", "end", "draw 2 12").
class RecordingArtist : public Artist
{
public:
    using Artist::bound_second_texture;
    using Artist::bound_texture;
    using Artist::primitive_kind;
    using Artist::vertex_capacity;
    using Artist::vertex_count;

    SharedPtr<Texture> capture_screen() override
    {
        flush();
        calls.push_back("capture");
        return SharedPtr<Texture>(new PlainTexture(captures + 1000, int(screen.w), int(screen.h)));
    }
    Rect& screen_rect(Rect& out) override { return out = screen; }
    void clear(const Color& c) override { record("clear", c.r, c.g, c.b, c.a); }

    /// The batches drawn so far.
    std::vector<RecordedBatch> batches;
    /// The device calls so far, in order.
    std::vector<std::string> calls;
    /// What `screen_rect` answers.
    Rect screen{0, 0, 640, 480};
    /// Whether the device can begin a frame.
    bool can_begin = true;
    /// Whether the device gives vertex storage when locked.
    bool can_lock = true;
    /// Frames ended on the device.
    int presented = 0;
    /// Screens captured.
    TextureHandle captures = 0;

protected:
    void apply_second_texture(TextureHandle handle, std::uint32_t mode) override
    {
        Artist::apply_second_texture(handle, mode);
        record("second", handle, mode);
    }
    void apply_blend(std::uint32_t mode) override { record("blend", mode); }
    void apply_wrap(std::uint32_t flag) override { record("wrap", flag); }
    void apply_texture(TextureHandle handle) override
    {
        Artist::apply_texture(handle);
        record("texture", handle);
    }
    void apply_texture_factor(const Color& c) override
    {
        Artist::apply_texture_factor(c);
        record("factor", c.r, c.g, c.b, c.a);
    }
    void apply_scissor(const Rect& r) override
    {
        Artist::apply_scissor(r);
        record("scissor", r.x, r.y, r.w, r.h);
    }
    void apply_primitive_kind(std::uint32_t kind) override
    {
        Artist::apply_primitive_kind(kind);
        record("kind", kind);
    }
    bool device_begin_scene() override
    {
        if (can_begin)
            calls.push_back("begin");
        return can_begin;
    }
    void device_end_scene() override
    {
        calls.push_back("end");
        ++presented;
    }
    void draw_batch() override
    {
        record("draw", primitive_kind(), vertex_count());
        RecordedBatch batch;
        batch.kind = primitive_kind();
        batch.texture = bound_texture();
        batch.second_texture = bound_second_texture();
        batch.state = render_state();
        batch.factor = texture_factor();
        batch.scissor = scissor();
        batch.vertices.assign(m_storage.begin(), m_storage.begin() + vertex_count());
        batches.push_back(std::move(batch));
    }
    void lock() override
    {
        Artist::lock();
        if (can_lock) {
            m_storage.assign(vertex_capacity, DeviceVertex{});
            m_vertices = m_storage.data();
        }
    }

private:
    template <class... Args>
    void record(const char* name, Args... args)
    {
        std::ostringstream text;
        text << name;
        ((text << ' ' << args), ...);
        calls.push_back(text.str());
    }

    std::vector<DeviceVertex> m_storage;
};

}
