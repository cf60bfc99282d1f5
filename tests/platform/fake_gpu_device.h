#pragma once

// A graphics device that draws nothing: it records the calls the renderer makes and reports
// what the test sets (a lost device, a failing reset, no swap chains), so that the renderer's
// frame and restoration logic is tested without a display. It keeps the pixels of its
// textures, to give them back when asked.

#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/host/gpu/gpu_device.h"

namespace kq::test {

class FakeGpuDevice : public host::GpuDevice
{
public:
    bool adapter_identifier(host::GpuAdapterInfo& out) override
    {
        out = {};
        out.driver = "fake";
        out.description = "Fake adapter";
        out.version_high = 0x00050006;
        out.version_low = 0x00070008;
        out.vendor_id = 4318;
        return adapter_known;
    }
    bool desktop_mode(host::GpuDisplayMode& out) override
    {
        out = desktop;
        return true;
    }
    int mode_count() override { return int(modes.size()); }
    bool mode(int index, host::GpuDisplayMode& out) override
    {
        out = modes.at(std::size_t(index));
        return true;
    }

    bool create(const host::GpuPresentParameters& pp) override
    {
        record("create", pp.width, pp.height, pp.format, pp.windowed);
        return can_create;
    }
    std::int32_t test_cooperative_level() override { return level; }
    std::int32_t reset(const host::GpuPresentParameters& pp) override
    {
        record("reset", pp.width, pp.height);
        if (reset_result == host::gpu_ok)
            level = host::gpu_ok;
        return reset_result;
    }
    host::GpuTarget create_swap_chain(const host::GpuPresentParameters& pp) override
    {
        record("swap_chain", pp.width, pp.height);
        return can_make_swap_chains ? ++last_target : 0;
    }
    void release_swap_chain(host::GpuTarget target) override { record("release_swap_chain", target); }
    bool set_render_target(host::GpuTarget target) override
    {
        record("target", target);
        return true;
    }
    bool begin_scene() override
    {
        record("begin_scene");
        return true;
    }
    bool end_scene() override
    {
        record("end_scene");
        return true;
    }
    std::int32_t present(host::GpuTarget target) override
    {
        record("present", target);
        return present_result;
    }
    void target_size(host::GpuTarget, int& width, int& height) override { width = height = 64; }

    void set_fixed_state() override { record("fixed_state"); }
    void clear(std::uint32_t argb) override { record("clear", argb); }
    void set_blend(host::GpuBlend, host::GpuBlend) override {}
    void set_wrap(bool) override {}
    void set_texture(int, host::GpuTexture) override {}
    void set_second_stage(host::GpuStageOp) override {}
    void set_texture_factor(std::uint32_t) override {}
    void set_view(int x, int y, int w, int h, float, float, float, float) override { record("view", x, y, w, h); }
    void draw(host::GpuPrimitive, const host::GpuVertex*, std::uint32_t count) override { record("draw", count); }

    host::GpuTexture create_texture(int w, int h, const std::uint8_t* rgba) override
    {
        record("create_texture", w, h);
        ++last_texture;
        textures[last_texture].assign(std::size_t(w) * std::size_t(h) * 4, 0);
        update_pixels(last_texture, w, h, rgba);
        return last_texture;
    }
    void update_texture(host::GpuTexture texture, int w, int h, const std::uint8_t* rgba) override
    {
        record("update_texture", texture);
        update_pixels(texture, w, h, rgba);
    }
    bool read_texture(host::GpuTexture texture, int w, int h, std::vector<std::uint8_t>& rgba) override
    {
        record("read_texture", texture);
        const auto found = textures.find(texture);
        if (found == textures.end() || found->second.size() != std::size_t(w) * std::size_t(h) * 4)
            return false;
        rgba = found->second;
        return true;
    }
    void delete_texture(host::GpuTexture texture) override
    {
        record("delete_texture", texture);
        textures.erase(texture);
    }
    bool read_pixels(int, int, int w, int h, std::vector<std::uint8_t>& rgba) override
    {
        rgba.assign(std::size_t(w) * std::size_t(h) * 4, 0x80);
        return true;
    }

    /// Whether a call starting with `prefix` was recorded.
    bool called(const std::string& prefix) const
    {
        for (const std::string& call : calls) {
            if (call.rfind(prefix, 0) == 0)
                return true;
        }
        return false;
    }

    std::vector<std::string> calls;
    host::GpuDisplayMode desktop{1024, 768, 60, host::gpu_format_x8r8g8b8};
    std::vector<host::GpuDisplayMode> modes;
    bool adapter_known = true;
    bool can_create = true;
    bool can_make_swap_chains = true;
    std::int32_t level = host::gpu_ok;
    std::int32_t reset_result = host::gpu_ok;
    std::int32_t present_result = host::gpu_ok;
    host::GpuTarget last_target = 0;
    host::GpuTexture last_texture = 0;
    std::map<host::GpuTexture, std::vector<std::uint8_t>> textures;  ///< RGBA, by texture

private:
    void update_pixels(host::GpuTexture texture, int w, int h, const std::uint8_t* rgba)
    {
        std::vector<std::uint8_t>& pixels = textures[texture];
        if (rgba && pixels.size() >= std::size_t(w) * std::size_t(h) * 4)
            std::memcpy(pixels.data(), rgba, std::size_t(w) * std::size_t(h) * 4);
    }

    template <class... Args>
    void record(const char* name, Args... args)
    {
        std::ostringstream text;
        text << name;
        ((text << ' ' << args), ...);
        calls.push_back(text.str());
    }
};

}
