#pragma once

#include "engine/art/sprite.h"
#include "engine/base/type_name.h"

namespace kq {

/// A sprite that draws nothing itself but shows its children as seen through its rectangle,
/// as if that rectangle filled a screen of 1024 x 768, tinted by its colour.
class CameraSprite : public Sprite
{
public:
    CameraSprite() = default;
    CameraSprite(const CameraSprite& other) = default;

    /// Writes version 0: the sprite form.
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// Applies the render state, then the camera's view and colour until `after_children`.
    void draw(Artist& artist) override;
    void after_children(Artist& artist) override;

    /// The screen a camera's rectangle is shown as.
    static constexpr float screen_width = 1024.0f;
    static constexpr float screen_height = 768.0f;
};

}

KQ_TYPE_NAME(kq::CameraSprite, "class kq::CameraSprite");
