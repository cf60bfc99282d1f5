#pragma once

#include <vector>

#include "engine/host/audio/audio_output.h"

namespace kq {

/// An output without a thread: frames are mixed only when `pull` asks, so that a test sees
/// exactly what was mixed and decides when time passes.
class NullAudioOutput : public AudioOutput
{
public:
    /// An output whose default device opens, or (`has_device` false) fails like a machine
    /// without a sound card; the silent device always opens.
    explicit NullAudioOutput(bool has_device = true) : m_has_device(has_device) {}

    bool open(int device, int rate, Render render) override;
    void close() override;
    void set_paused(bool paused) override { m_paused = paused; }
    std::string driver() const override { return m_open ? "null" : ""; }

    /// Asks for `frames` stereo frames as an output thread would and returns them; empty
    /// while closed or paused.
    std::vector<float> pull(int frames);
    /// Whether the device is open.
    bool is_open() const { return m_open; }

private:
    bool m_has_device;
    bool m_open = false;
    bool m_paused = false;
    Render m_render;
};

}
