#pragma once

#include "engine/host/audio/audio_codes.h"
#include "engine/res/skin_io.h"

namespace kq {

class Sample;

/// One playing channel of a sample, with its own volume, pan and pitch, in a volume group
/// whose volume multiplies its own. Every operation does nothing while no audio service runs
/// with a device.
///
/// A looping sound stands in its group (`Audio::add_to_group`) while it plays, so that a new
/// group volume reaches it at once; it must therefore be stopped, or destroyed, before the
/// audio service goes. A copy starts idle: it shares the settings, never the channel.
class Sound : public SkinIO
{
public:
    /// An idle sound of group 0, volume 1.
    Sound() = default;
    /// An idle sound of the group; `n` is kept for its users (the music channel gives 255).
    Sound(int group, int n) : m_group(group), m_n(n) {}
    /// The other's settings, idle.
    Sound(const Sound& other);
    /// Lets go of its own channel as destruction does, then takes the other's settings, idle.
    Sound& operator=(const Sound& other);
    /// Stops the channel when it loops or may not ring on; a one-shot sound keeps sounding
    /// to its end.
    ~Sound() override;

    /// Plays the sample (null: nothing) from `start_time` milliseconds (-1: a random
    /// position), after stopping what the sound played; the channel's volume is `volume`
    /// times the group's volume.
    void play(const Sample* sample, bool loop, float pan, float volume, int start_time);
    /// Stops the channel; a looping sound leaves its group.
    void stop();
    /// Whether the channel plays.
    bool is_playing() const;
    /// While the channel plays: sets the own volume and applies it times the group's volume.
    void set_volume(float volume);
    /// Applies the own volume again (after the group's volume changed).
    void reapply_volume() { set_volume(m_volume); }
    /// While the channel plays: -1 left to 1 right.
    void set_pan(float pan);
    /// While the channel plays: its rate becomes `pitch` times the rate it had when played.
    void set_pitch(float pitch);
    /// Milliseconds played; 0 while not playing.
    int position() const;

    /// The volume group.
    int group() const { return m_group; }
    /// The own volume.
    float volume() const { return m_volume; }
    /// Whether the last play looped.
    bool is_looping() const { return m_looping; }
    /// The value kept for the sound's users.
    int n() const { return m_n; }
    void set_n(int n) { m_n = n; }

private:
    void release();

    bool m_let_ring = true;
    bool m_looping = false;
    AudioHandle m_id = 0;
    int m_group = 0;
    float m_initial_frequency = 8000.0f;
    float m_volume = 1.0f;
    int m_n = 100;
};

}
