#pragma once

#include <cstdint>

#include "engine/art/sprite_controller.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/texture.h"

namespace kq {

/// Plays a frame animation on an image sprite: the timer's coefficient picks one of `count`
/// frames from `first` (1-based) on, and the texture window of the primary or secondary
/// texture moves to that frame's cell in a grid over the texture.
class AnimationController : public SpriteController
{
public:
    /// Writes version 0: the controller form, then first frame and frame count (the secondary
    /// flag is not stored).
    void store(BStream& stream) const override;
    /// Reads version 0.
    void load(BStream& stream) override;
    /// Reads the controller keys, then "start", "count" and "secondary".
    void read_skin(const SkinPath& path) override;
    /// Moves the texture window of the parent image sprite to the frame of the timer's
    /// coefficient; nothing without a timer or an image sprite parent.
    void apply() override;

    /// The 0-based frame shown at the coefficient: the last frame is held at 1; false when
    /// there is no frame to show (a count below 1).
    bool frame_at(float coefficient, std::int64_t& frame) const;

    /// The texture begin of a frame in the grid of cells over a texture (null: not loaded):
    /// the cell is the texture for "full", the texture size setting for "stretch" and "tile"
    /// and the rounded sprite size otherwise; frames run along the rows, and rows are not
    /// limited to the texture. False when there is no column or the cell has no area.
    static bool frame_begin(const Texture* texture, ArtTexturePlacement placement, Vector2<int> tsize,
                            Vector2<float> sprite_size, std::int64_t frame, Vector2<int>& begin);

    std::int32_t first_frame() const { return m_first; }
    std::int32_t frame_count() const { return m_count; }
    void set_frames(std::int32_t first, std::int32_t count)
    {
        m_first = first;
        m_count = count;
    }
    bool is_secondary() const { return m_secondary; }
    void set_secondary(bool secondary) { m_secondary = secondary; }

private:
    std::int32_t m_first = 1;
    std::int32_t m_count = 1;
    bool m_secondary = false;
};

}

KQ_TYPE_NAME(kq::AnimationController, "class kq::AnimationController");
