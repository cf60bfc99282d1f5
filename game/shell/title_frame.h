#pragma once

#include "engine/ui/frame.h"

namespace kq {

/// The title screen, for now only as much of it as the game's flow needs: the frame from its
/// skin node, left with Escape. The whole game takes place while it is on the stack.
class TitleFrame : public Frame
{
public:
    /// Takes the keys.
    void on_attached() override;
    /// Gives the keys back.
    void on_detach() override;
    /// Escape pops the frame, which ends the game's run.
    bool on_key(Key key, KeyState state) override;
};

}
