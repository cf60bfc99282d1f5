#pragma once

#include <cstdint>

namespace kq {

/// A displayed integer that runs toward its target over time instead of jumping: the owner
/// calls `update` with the current target once per drawn frame and shows `value`. A run
/// moves linearly and lasts |difference| x unit time, at most the maximum time; a new target
/// starts a new run from the value reached. The value never passes the target. The arithmetic
/// is 64-bit, so any two int values run right, however far apart.
class TardyCounter
{
public:
    TardyCounter() = default;
    virtual ~TardyCounter() = default;

    /// Moves the value one step toward `target` by the time of `time_ms`; a changed target
    /// only starts the new run (the value does not move in that call).
    void update(int target);
    /// Shows `value` at once: value and target both take it and any run ends.
    void set(int value);

    int value() const { return m_value; }
    int target() const { return m_target; }

private:
    int m_value = 0;
    int m_target = 0;
    std::int64_t m_delta = 0;      ///< target minus value when the target last changed
    int m_max_time = 500;          ///< ms, the longest a run may take
    int m_unit_time = 500;         ///< ms one unit of difference would take
    std::int64_t m_time = -1;      ///< ms: the moment the not yet shown part of the run counts from
};

}
