#pragma once

#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "engine/ui/frame.h"

namespace kq {

/// One logo of the intro: a frame whose sprite (an image sprite) shows the logo. It closes by
/// itself 2500 ms after it is attached, or at the first key or button pressed, fading out as fast as
/// it faded in when that was not over yet.
class IntroFrame : public Frame
{
public:
    /// Takes the keys and posts the task that closes the frame after 2500 ms (the task goes
    /// when the frame is detached).
    void on_attached() override;
    /// Gives the keys back.
    void on_detach() override;
    /// Any key or button pressed closes the frame; presses and releases are used up.
    bool on_key(Key key, KeyState state) override;

    /// Shows the texture in the frame's image sprite; the same texture again changes nothing.
    void set_image(const ResHandle<Texture>& image);
    /// Pops the frame off its manager, interrupting a running fade.
    void close();
};

}
