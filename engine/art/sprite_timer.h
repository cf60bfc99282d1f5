#pragma once

#include <cstdint>

#include <boost/smart_ptr/intrusive_ptr.hpp>

#include "engine/base/binary_io.h"
#include "engine/base/intrusive.h"
#include "engine/base/type_name.h"
#include "engine/res/skin_io.h"

namespace kq {

class SpriteBase;

/// The time source of a sprite or controller: measures one run, folds it into a cycle and
/// turns the position in the cycle into a coefficient in [0, 1] shaped by a law. Times are
/// integer milliseconds. Shared through its intrusive count; its owner is not owned.
class SpriteTimer : public IntrusivePolymorph, public BinaryIO, public SkinIO
{
public:
    /// How elapsed time folds into the cycle.
    enum class Cyclic : std::int32_t
    {
        none = 0,      ///< one run: the elapsed time itself
        loop = 1,      ///< elapsed time modulo the cycle
        pingpong = 2,  ///< forth on even cycles, back on odd ones
    };

    /// The shape of the coefficient over the phase p in [0, 1].
    enum class CoeffLaw : std::int32_t
    {
        linear = 0,        ///< p
        cos = 1,           ///< ease in and out
        sin = 2,           ///< ease out
        fullsin = 3,       ///< 0.5, up to 1, down to 0, back to 0.5
        random = 4,        ///< a fresh draw in [0, 1) at every evaluation
        reverse = 5,       ///< 1 - p
        linear_swing = 6,  ///< the piecewise-linear twin of `fullsin`
    };

    /// Period 1000, no spread, no folding, linear, no lead-in, following the millisecond
    /// clock; not started.
    SpriteTimer();
    /// Takes every field, settings and run state alike; the copy starts with no links.
    SpriteTimer(const SpriteTimer&) = default;

    /// Writes version 3 of the settings (run state is not stored).
    void store(BStream& stream) const override;
    /// Reads versions 0 to 3, leaving the fields a version lacks as they are.
    void load(BStream& stream) override;
    /// Reads "parameter", "period", "cyclic", "coeff_law", "random_start" and
    /// "period_spread", each required; does not reset.
    void read_skin(const SkinPath& path) override;

    /// Back to not started; a parameter timer whose owner's logic has that parameter is then
    /// advanced at once to the parameter's value.
    void reset();
    /// One step to `now`: the first after a reset draws the run length and sets the start.
    void advance(std::int32_t now);

    /// Whether the timer has been advanced since its last reset.
    bool is_started() const { return m_started; }
    /// The position in the cycle; 0 when not started.
    std::int32_t local_time() const;
    /// The coefficient at a local time.
    float progress(std::int32_t local_time) const;
    /// The coefficient of the last advance; when not started, the progress at local time 0.
    float coefficient() const;
    /// Started and past the run length (so a looping timer never finishes).
    bool is_finished() const;

    /// The time of the last advance; 0 when not started.
    std::int32_t current_time() const { return is_started() ? m_current : 0; }
    /// The time since the start; 0 when not started.
    std::int32_t elapsed() const;
    /// The time between the last two advances (the controllers' step); 0 when not started.
    std::int32_t step() const;
    /// The effective length of a cycle: the run length once drawn, else the period.
    std::int32_t duration() const { return m_run_length > 0 ? m_run_length : m_period; }
    /// The cycle length drawn for this run; -1 before the first advance.
    std::int32_t run_length() const { return m_run_length; }

    std::int32_t parameter() const { return m_parameter; }
    void set_parameter(std::int32_t parameter) { m_parameter = parameter; }
    std::int32_t period() const { return m_period; }
    void set_period(std::int32_t period) { m_period = period; }
    std::int32_t period_spread() const { return m_period_spread; }
    void set_period_spread(std::int32_t spread) { m_period_spread = spread; }
    Cyclic cyclic() const { return m_cyclic; }
    void set_cyclic(Cyclic cyclic) { m_cyclic = cyclic; }
    CoeffLaw coeff_law() const { return m_coeff_law; }
    void set_coeff_law(CoeffLaw law) { m_coeff_law = law; }
    std::int32_t lead_in() const { return m_lead_in; }
    void set_lead_in(std::int32_t lead_in) { m_lead_in = lead_in; }
    bool random_start() const { return m_random_start; }
    void set_random_start(bool random_start) { m_random_start = random_start; }

    /// The object whose logic resolves the parameter; set by `SpriteBase::set_timer`.
    SpriteBase* owner() const { return m_owner; }
    void set_owner(SpriteBase* owner) { m_owner = owner; }

private:
    std::int32_t m_parameter = -1;
    std::int32_t m_period = 1000;
    std::int32_t m_period_spread = 0;
    Cyclic m_cyclic = Cyclic::none;
    CoeffLaw m_coeff_law = CoeffLaw::linear;
    std::int32_t m_lead_in = 0;
    bool m_random_start = false;
    SpriteBase* m_owner = nullptr;
    std::int32_t m_run_length = -1;
    float m_coefficient = 0.0f;
    std::int32_t m_start = -1;
    std::int32_t m_current = -1;
    std::int32_t m_previous = -1;
    // Kept apart from the start time, which a random start may put at any value.
    bool m_started = false;
};

/// A shared hold on a timer.
using SpriteTimerPtr = boost::intrusive_ptr<SpriteTimer>;

}

KQ_TYPE_NAME(kq::SpriteTimer, "class kq::SpriteTimer");
KQ_TYPE_NAME(kq::SpriteTimer::Cyclic, "enum kq::SpriteTimer::Cyclic");
KQ_TYPE_NAME(kq::SpriteTimer::CoeffLaw, "enum kq::SpriteTimer::CoeffLaw");
