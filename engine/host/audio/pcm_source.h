#pragma once

#include <cstdint>

namespace kq {

/// Decoded sound read piece by piece, as a stream plays it.
class PcmSource
{
public:
    virtual ~PcmSource() = default;

    /// Rate in Hz.
    virtual int rate() const = 0;
    /// 1 or 2.
    virtual int channels() const = 0;
    /// Length in frames; negative when not known.
    virtual std::int64_t length() const = 0;
    /// Reads up to `frames` frames into `out`; returns the count read, 0 at the end.
    virtual std::int64_t read(std::int16_t* out, std::int64_t frames) = 0;
    /// Moves to the frame; whether the source could.
    virtual bool seek(std::int64_t frame) = 0;
};

}
