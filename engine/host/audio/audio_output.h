#pragma once

#include <functional>
#include <string>

namespace kq {

/// Where mixed sound goes: an output device that asks for stereo float frames from a thread
/// of its own. Back ends: `SdlAudioOutput` (sdl/) and `NullAudioOutput` (null/).
class AudioOutput
{
public:
    /// Fills `frames` interleaved stereo frames; called from the output's thread.
    using Render = std::function<void(float* out, int frames)>;

    /// The output device the system picks.
    static constexpr int default_device = -1;
    /// A device that plays nothing but keeps asking for frames at the pace of a real one.
    static constexpr int silent_device = 0;

    virtual ~AudioOutput() = default;

    /// Opens the device at `rate` frames a second and starts asking `render` for frames;
    /// whether it opened. `render` must outlive the open device.
    virtual bool open(int device, int rate, Render render) = 0;
    /// Stops asking for frames and closes the device; waits for a `render` call in progress.
    virtual void close() = 0;
    /// Stops (true) or resumes (false) asking for frames.
    virtual void set_paused(bool paused) = 0;
    /// The name of the driver in use ("" when closed).
    virtual std::string driver() const = 0;
};

}
