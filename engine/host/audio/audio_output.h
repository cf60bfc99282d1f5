#pragma once

#include <atomic>
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

    /// The text of the first exception a render let out since the last call, or "" when none
    /// did; a thread other than the output's own calls it.
    std::string take_render_failure();

protected:
    /// What a back end's thread calls instead of `render` itself: never throws and never
    /// waits. Frames a throwing render leaves are silence, and its first failure is kept for
    /// `take_render_failure`.
    void render_guarded(const Render& render, float* out, int frames) noexcept;

private:
    /// No failure kept; the output thread writing one; one kept for the taker.
    enum FailureState : int { none, writing, kept };

    void keep_failure(const char* what) noexcept;

    std::atomic<int> m_failure_state{none};
    char m_failure[256] = {};
};

}
