#pragma once

#include "engine/art/text_sprite.h"
#include "engine/base/mainframe.h"
#include "engine/ui/frame.h"
#include "game/field/effects/curve_particle_effect.h"
#include "game/shell/screens/step_clock.h"

namespace kq {

/// The title screen: its picture with the animated title effect on a clock of its own and the
/// current player's name. Once on the stack it makes sure a player is chosen, then runs the
/// main menu ("dialogs.main"), inside which the whole game takes place, and pops itself when
/// the player leaves.
class TitleFrame : public Frame
{
public:
    /// The effect's clock starts now, limited to steps of 100 ms.
    TitleFrame();
    TitleFrame(const TitleFrame&) = delete;

    /// The controls, then the effect on its clock, then the name while a player is current.
    void draw(Artist& artist) override;
    /// "profile_name" is the current player's name; the rest is `Control`'s.
    bool get_variable(const std::string& name, std::string& value) const override;
    /// Follows the player's changes and posts the menu's flow.
    void on_attach() override;
    /// Stops following the player's changes.
    void on_detach() override;
    using Frame::read_skin;
    /// The frame's keys, then "name" and "effect".
    void read_skin() override;
    /// Back on top: the effect starts again without its old particles.
    void on_resumed() override;

    /// A player made current (the first one, "Player", when there is none; else the player
    /// chooses one), the main menu until the player leaves, then the frame pops itself.
    void run_menu();
    /// The name shows the current player again.
    void refresh_name();

    TextSprite& name() { return m_name; }
    CurveParticleEffect& effect() { return m_effect; }
    const StepClock& clock() const { return m_clock; }

private:
    void ensure_profile();

    TextSprite m_name;
    CurveParticleEffect m_effect;
    StepClock m_clock;
    Mainframe::TaskId m_menu_task = 0;
};

}
