#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "engine/base/mainframe.h"
#include "engine/base/service.h"
#include "engine/base/single_instance.h"
#include "engine/host/audio/audio_library.h"
#include "engine/platform/music_info.h"
#include "engine/platform/sound.h"

namespace kq {

class AudioOutput;

/// A volume through which sounds play, and the looping sounds that play in it now.
struct VolumeGroup
{
    float volume = 1.0f;
    std::set<Sound*> sounds;
};

/// The sound service "audio": starts the audio library on the output device (falling back to
/// a silent device when none opens), registers the sample loader, keeps the volume groups,
/// plays music on one channel with cross-fades, and frees the library at shutdown. While it
/// exists it is the process's current `Audio`; samples and sounds reach it that way and do
/// nothing when it is absent or runs without a device.
class Audio : public Service, public SingleInstance<Audio>
{
public:
    /// The fade phases of the music.
    enum FadeState { idle = 0, fading_out = 1, fading_in = 2 };

    /// The service over the output back end; becomes the current `Audio`.
    explicit Audio(std::unique_ptr<AudioOutput> output);
    /// Stops the music channel; no longer the current `Audio`.
    ~Audio() override;

    /// The current `Audio` when it runs with an output device, else null. Every sound
    /// operation asks it first, so it is where a failure of the output's thread is logged.
    static Audio* active();

    /// Starts the library (the default device, else the silent one, logged) and registers
    /// the sample loader with `Res`.
    void initialize() override;
    /// Ends a fade, stops the music at once, drops every loaded sample and frees the library.
    void shutdown() override;
    /// Logs the failure the mixing on the output's thread kept since the last report (the
    /// output played silence meanwhile); nothing when there is none.
    void report_render_failure();

    /// Whether the library runs on an output device (sound is available).
    bool is_initialised() const { return m_initialised; }
    /// The audio library the samples and sounds call.
    AudioLibrary& library() { return m_library; }

    /// The group's volume; 1 for a group never set.
    float group_volume(int group) const;
    /// Sets the group's volume and applies it at once to the looping sounds that play in it.
    void set_group_volume(float volume, int group);
    /// Puts a looping sound into its group.
    void add_to_group(Sound* sound, int group);
    /// Takes a sound out of its group.
    void remove_from_group(Sound* sound, int group);
    /// Silences (true) or restores (false) every sample and stream at once.
    void set_global_volume(bool mute);
    /// The stereo pan of a horizontal position: -1 at 0, 1 at the pan width, clamped.
    float pan_for_x(float x) const;
    /// The width that `pan_for_x` spreads over (1024 at first).
    void set_pan_width(float width) { m_pan_width = width; }

    /// Switches to the music: the playing piece fades out over `fade.fade_out_ms`, then the
    /// new one fades in over `fade.fade_in_ms`. The piece already current (or next) with
    /// start time `resume_start` is not interrupted: only its volume changes.
    void play_music(const MusicInfo& info, const MusicFade& fade);
    /// Plays the sample as music from its beginning at volume 1.
    void play_music_path(const ResHandle<Sample>& sample, const MusicFade& fade);
    /// Fades the music out with nothing after it.
    void stop_music(const MusicFade& fade);
    /// The music playing or fading in, with its start time set to the position reached.
    void current_music(MusicInfo& out);
    /// Sets the music channel's volume, unless the change is below float precision.
    void set_music_level(float level);
    /// One step of the fader: run by every request and every 10 ms while a fade runs.
    void fade_step();

    /// The fade phase.
    FadeState fade_state() const { return m_fade_state; }
    /// The level the fader last gave the music channel.
    float music_level() const { return m_music_level; }
    /// The fader's task; 0 while no fade runs.
    Mainframe::TaskId fade_task() const { return m_fade_task; }

private:
    void start_next_music(const Sample* sample, std::int64_t now);

    AudioLibrary m_library;
    Sound m_music{1, 255};
    float m_music_level = 1.0f;
    MusicInfo m_current;
    MusicInfo m_next;
    std::map<const Sample*, int> m_positions;
    FadeState m_fade_state = idle;
    Mainframe::TaskId m_fade_task = 0;
    int m_fade_out_ms = 0;
    int m_fade_in_ms = 0;
    std::int64_t m_phase_start = -1;
    bool m_initialised = false;
    std::map<int, VolumeGroup> m_groups;
    float m_pan_width = 1024.0f;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

/// Writes "Bass error in function <call_text>, code: <code>" to the audio log when the
/// library's last call failed; never throws.
void bass_check(const std::string& call_text);

/// Starts the "audio" service on the sound card; needs the Mainframe, `res` and `skin`.
void start_audio_service();
/// Stops the "audio" service.
void stop_audio_service();

}
