#pragma once

#include <string>

namespace kq::host {

/// SDL's video for as long as it lives; nested uses share one start. Every window and display
/// function needs one alive.
class VideoSystem
{
public:
    /// Starts the video driver SDL chooses (`SDL_VIDEODRIVER` names one); `ready` tells.
    VideoSystem();
    ~VideoSystem();
    VideoSystem(const VideoSystem&) = delete;
    VideoSystem& operator=(const VideoSystem&) = delete;

    /// Whether the video started.
    bool ready() const { return m_ready; }

    /// The name of the running video driver ("x11", "offscreen"); empty when none runs.
    static std::string driver_name();
    /// The system's last error text.
    static std::string last_error();

private:
    bool m_ready;
};

}
