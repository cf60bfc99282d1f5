#pragma once

#include "engine/platform/sample.h"

namespace kq {

/// A sample decoded whole into the audio library's memory, played by at most four channels
/// at once; a fifth playback takes over the one with the highest position.
class FlatSample : public Sample
{
public:
    FlatSample() = default;
    /// Stops and frees the library's sample while the device runs.
    ~FlatSample() override;
    FlatSample(const FlatSample&) = delete;
    FlatSample& operator=(const FlatSample&) = delete;

    /// A new channel of the sample; 0 without sound data or device.
    AudioHandle channel() const override;

protected:
    /// Hands the bytes to the library as a sample.
    AudioHandle make_handle(AudioLibrary& library, const std::string& bytes) override;
};

}
