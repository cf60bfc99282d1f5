#include "engine/art/camera_sprite.h"

#include "engine/base/bstream.h"
#include "engine/platform/artist.h"

namespace kq {

namespace {

constexpr std::uint8_t camera_version = 0;

}

void CameraSprite::store(BStream& stream) const
{
    write_u8(stream, camera_version);
    Sprite::store(stream);
}

void CameraSprite::load(BStream& stream)
{
    if (read_u8(stream) > camera_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
}

void CameraSprite::draw(Artist& artist)
{
    artist.set_render_state(render_state());
    artist.push_transformation();
    artist.multiply_global_color(color());
    // The view maps a point of the screen onto the camera's rectangle in the world; the
    // children, drawn in world coordinates, go through its inverse.
    Transform view = world_transform();
    view.scale(size().x / screen_width, size().y / screen_height);
    view.translate(-pivot().x, -pivot().y);
    view.invert();
    artist.transform(view);
}

void CameraSprite::after_children(Artist& artist)
{
    artist.pop_global_color();
    artist.pop_transformation();
}

}
