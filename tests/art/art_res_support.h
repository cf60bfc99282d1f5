#pragma once

// Resources for the tests of the textured sprite kinds: a texture of a chosen size whose
// pixels are computed, and a resource manager that hands out objects made in the test.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/base/shared_ptr.h"
#include "engine/platform/texture.h"
#include "engine/res/res.h"
#include "tests/base/temp_dir.h"

namespace kq::test {

/// A texture of a device size holding an image of another size; its pixel words come from a
/// function of the pixel position.
class FakeTexture : public Texture
{
public:
    FakeTexture(int width, int height, int image_width, int image_height)
    {
        set_size(width, height, image_width, image_height);
    }

    TextureHandle handle() const override { return 0; }
    void mix(const Texture&) override {}
    std::uint32_t pixel(const Vector2<int>& p) const override { return m_pixel ? m_pixel(p) : 0xFFFFFFFFu; }
    std::uint32_t pixel_at(const Vector2<float>& uv) const override
    {
        return pixel({int(uv.x * float(width())), int(uv.y * float(height()))});
    }

    std::function<std::uint32_t(Vector2<int>)> m_pixel;
};

/// A resource manager over an empty folder; `add` makes an object the resource of a path.
class TestResources
{
public:
    TestResources() { m_res->read_root_file(m_dir.path() + "default.root"); }

    template <class T>
    void add(const std::string& path, const SharedPtr<T>& object)
    {
        m_res->add_resource(ResRequest{type_name<T>(), ResKey{path, 0}}, object);
    }

    template <class T>
    void add_as(StrCache type, const std::string& path, const SharedPtr<T>& object)
    {
        m_res->add_resource(ResRequest{type, ResKey{path, 0}}, object);
    }

    Res& res() { return *m_res; }
    const TempDir& dir() const { return m_dir; }

private:
    TempDir m_dir;
    SharedPtr<Res> m_res{new Res};
};

}
