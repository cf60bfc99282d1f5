#pragma once

#include <cstdint>

namespace kq {

/// When the next frame is due, so that frames come at most `rate` a second on the
/// millisecond clock: each is due a period after the one before it, whole milliseconds
/// rounded up and the fractions carried, so that on average the rate is kept exactly. Where
/// the device already waits for the display at that rate the frames are never due later than
/// they start; where it does not wait, the frames are spaced by it. A frame that starts more
/// than a period after it was due starts the spacing anew.
class FramePacer
{
public:
    explicit FramePacer(int rate) : m_rate(rate) {}

    /// A frame starts at `now` (ms).
    void frame_started(std::int64_t now);
    /// Milliseconds from `now` until the next frame is due; 0 when it is due already.
    std::int64_t delay(std::int64_t now) const;

private:
    std::int64_t m_rate;
    // When the next frame is due, in ms times the rate (a period is 1000 of these); -1
    // before the first frame.
    std::int64_t m_due = -1;
};

}
