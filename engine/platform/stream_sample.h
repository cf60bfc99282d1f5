#pragma once

#include "engine/platform/sample.h"

namespace kq {

/// A sample decoded while it plays (music): the audio library keeps a copy of the file's
/// bytes and decodes from it on its own thread, so no engine stream is read there. The
/// stream is its own single channel.
class StreamSample : public Sample
{
public:
    StreamSample() = default;
    /// Stops and frees the library's stream while the device runs.
    ~StreamSample() override;
    StreamSample(const StreamSample&) = delete;
    StreamSample& operator=(const StreamSample&) = delete;

    /// The stream's channel; 0 without sound data or device.
    AudioHandle channel() const override;

protected:
    /// Hands the bytes to the library as a stream.
    AudioHandle make_handle(AudioLibrary& library, const std::string& bytes) override;
};

}
