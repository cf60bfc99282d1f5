#pragma once

#include "engine/ui/frame.h"

namespace kq {

/// The title screen, for now only as much of it as the game's flow needs: the frame from its
/// skin node; Return or a click plays the current player's mission, Escape leaves. The whole
/// game takes place while it is on the stack.
class TitleFrame : public Frame
{
public:
    /// Takes the keys.
    void on_attached() override;
    /// Gives the keys back.
    void on_detach() override;
    /// Escape pops the frame, which ends the game's run; Return or a left click plays.
    bool on_key(Key key, KeyState state) override;

    /// Plays the current profile's mission in a game frame ("frames.game_frame") and waits
    /// for it to leave; a player without a game starts a new one (a first player is made).
    /// A won or skipped mission moves the game on to the next.
    void play_mission();
};

}
