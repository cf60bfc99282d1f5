#pragma once

#include "engine/base/vector2.h"
#include "engine/platform/sample.h"
#include "engine/platform/sound.h"
#include "engine/res/res_handle.h"
#include "engine/ui/check_box.h"
#include "engine/ui/control.h"
#include "engine/ui/slider.h"
#include "game/shell/app/shell.h"

namespace kq {

/// The panel of the current player's settings that the options dialogs embed: full screen,
/// hardware cursors, effects and tips as check boxes, the effect and music volumes as
/// sliders of 0 to 100. Attaching it loads the settings; moving the music slider previews the
/// music's volume at once, releasing the effect slider plays an example at the new volume.
/// `close_with` stores (on "ok") and restores the music. Its handlers run one step after the
/// input, as the panel's tasks; none of them throws.
class Options : public Control
{
public:
    Options();
    ~Options() override;
    Options(const Options&) = delete;

    /// Whether full screen is offered: only on a desktop larger than the game's window in
    /// both directions.
    static bool offers_fullscreen(Vector2<int> desktop, Vector2<int> window);

    /// `Control`'s attach, then the settings are loaded.
    void on_attach() override;
    /// `Control`'s keys, then "effect_example".
    using Control::read_skin;
    void read_skin() override;

    /// Shows the current profile's settings; full screen only where it is offered.
    void load_settings();
    /// Stores the settings in the current profile, puts them into effect and saves the game.
    void apply();
    /// The effect slider moved: at the end of a move the example plays at its volume.
    void on_effect_volume(bool final);
    /// The music slider moved: the music plays at its volume.
    void on_music_volume();
    /// What either options dialog does when it closes: "ok" applies; every result puts the
    /// music back to the profile's volume. Never throws: a failure is logged.
    void close_with(StrCache result);

    CheckBox& fullscreen() { return m_fullscreen; }
    CheckBox& hardware_cursors() { return m_hardware_cursors; }
    CheckBox& effects() { return m_effects; }
    CheckBox& tips() { return m_tips; }
    Slider& effect_volume() { return m_effect_volume; }
    Slider& music_volume() { return m_music_volume; }
    /// The channel of the effect example.
    const Sound& example() const { return m_example; }

private:
    CheckBox m_fullscreen;
    CheckBox m_hardware_cursors;
    CheckBox m_effects;
    CheckBox m_tips;
    Slider m_effect_volume;
    Slider m_music_volume;
    Sound m_example{Shell::group_example, 100};
    ResHandle<Sample> m_example_sample;
};

}
