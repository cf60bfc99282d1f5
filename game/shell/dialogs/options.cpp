#include "game/shell/dialogs/options.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/host/window/platform_window.h"
#include "engine/platform/audio.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/dialog.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

// A slider's value as a volume: the audio service gets 0 to 1 whatever the slider's range.
float volume_of(const Slider& slider)
{
    return float(std::clamp(slider.value(), 0, 100)) * 0.01f;
}

// Shows a volume of 0 to 1 on a slider as 0 to 100, rounded half away from zero.
void show_volume(Slider& slider, float volume)
{
    const long shown = std::lround(volume * 100.0f);
    const int value = int(std::clamp<long>(shown, slider.min_value(), std::max(slider.min_value(), slider.max_value())));
    if (value != slider.value())
        slider.set_value(value);
}

void set_music_volume(float volume)
{
    if (Audio* audio = Audio::instance())
        audio->set_group_volume(volume, Shell::group_music);
}

void log_failure(const char* what, const std::exception& error)
{
    log_error((std::string(what) + ": " + error.what()).c_str(), source_file_name(__FILE__), __LINE__);
}

}

Options::Options()
{
    m_fullscreen.set_up(CIChild(this, "fullscreen"));
    m_hardware_cursors.set_up(CIChild(this, "hardware_cursors"));
    m_effects.set_up(CIChild(this, "effects"));
    m_tips.set_up(CIChild(this, "tips"));
    m_effect_volume.set_up(CIChild(this, "effect_volume"));
    m_music_volume.set_up(CIChild(this, "music_volume"));
    m_effect_volume.on_value().connect(
        [this](bool final) { run_deferred(this, [this, final] { on_effect_volume(final); }); }, this);
    m_music_volume.on_value().connect([this](bool) { run_deferred(this, [this] { on_music_volume(); }); }, this);
}

Options::~Options()
{
    cancel_deferred(this);
    // Detached while the children still exist, so they leave the tree with the panel.
    detach();
}

bool Options::offers_fullscreen(Vector2<int> desktop, Vector2<int> window)
{
    return desktop.x > window.x && desktop.y > window.y;
}

void Options::on_attach()
{
    Control::on_attach();
    load_settings();
}

void Options::read_skin()
{
    Control::read_skin();
    m_example_sample.read_name_from_skin(path() + "effect_example");
}

void Options::load_settings()
{
    const Game* game = Game::instance();
    const Profile* profile = game ? game->m_profile : nullptr;
    if (!profile)
        return;
    const host::DisplayMode desktop = host::current_display_mode();
    if (offers_fullscreen({desktop.width, desktop.height}, game->window().size())) {
        m_fullscreen.set_hidden(false);
        m_fullscreen.set_checked(profile->fullscreen);
    } else {
        m_fullscreen.set_hidden(true);
    }
    m_hardware_cursors.set_checked(profile->hardware_cursors);
    m_effects.set_checked(profile->effects);
    m_tips.set_checked(profile->tips);
    show_volume(m_effect_volume, profile->effect_volume);
    show_volume(m_music_volume, profile->music_volume);
}

void Options::apply()
{
    Game* game = Game::instance();
    if (!game || !game->m_profile)
        return;
    Profile& profile = *game->m_profile;
    // A hidden box was never loaded: the profile keeps its own choice.
    if (!(m_fullscreen.state() & state_hidden))
        profile.fullscreen = m_fullscreen.is_checked();
    profile.hardware_cursors = m_hardware_cursors.is_checked();
    profile.effects = m_effects.is_checked();
    profile.tips = m_tips.is_checked();
    profile.effect_volume = volume_of(m_effect_volume);
    profile.music_volume = volume_of(m_music_volume);
    game->apply_profile_settings();
    game->save();
}

void Options::on_effect_volume(bool final)
{
    if (!final)
        return;
    try {
        m_example.play(m_example_sample.get(), false, 0.0f, volume_of(m_effect_volume), 0);
    } catch (const std::exception& error) {
        log_failure("The effect example cannot play", error);
    }
}

void Options::on_music_volume()
{
    set_music_volume(volume_of(m_music_volume));
}

void Options::close_with(StrCache result)
{
    try {
        if (result == dialog_result_ok())
            apply();
    } catch (const std::exception& error) {
        log_failure("The options cannot be applied", error);
    }
    if (const Game* game = Game::instance(); game && game->m_profile)
        set_music_volume(game->m_profile->music_volume);
}

}
