#pragma once

#include <cstdint>

#include "engine/art/key_controller.h"
#include "engine/art/spline.h"
#include "engine/base/type_name.h"
#include "engine/base/vector_d.h"

namespace kq {

/// The continuous key controller: the property follows a spline of float vectors evaluated
/// at the timer's coefficient, optionally scaled by random chaos factors drawn at start,
/// eased in over an aspiration time, and set absolutely or added as the change since the
/// last update. Copies share the spline until one of them edits it.
class SCKSpline : public SCProperty
{
public:
    using FloatSpline = Spline<float, VectorD<float>>;

    /// The spline kinds, in the order of their stored numbers.
    enum class SplineType : std::int32_t
    {
        linear = 0,
        cubic = 1,
        curve = 2,
    };

    /// An empty linear spline, no chaos, proportional, absolute, no aspiration.
    SCKSpline();
    /// Shares the spline and copies the settings; the copy has drawn and applied nothing.
    SCKSpline(const SCKSpline& other);

    /// Version 4: the property form, the spline, the chaos pair, proportional, additive and
    /// the aspiration.
    void store(BStream& stream) const override;
    /// Reads versions 0 to 4 (below 3 an inline linear spline).
    void load(BStream& stream) override;
    /// The property keys, the settings, "spline_type" (converting the keys) and "spline"
    /// (read into the spline by its own text reader).
    void read_skin(const SkinPath& path) override;

    /// In additive mode takes the last contribution back, draws the chaos factors, then
    /// starts as a controller does (which applies).
    void start() override;
    /// Sets (or adds to) the property the spline's value at the timer's coefficient.
    void apply() override;

    void set_key(float time, const KeyArray& value) override;
    void erase_key(float time) override;
    void clear_keys() override;
    void move_key(float from, float to) override;
    void key_times(std::set<float>& out) const override;
    void keys(std::map<float, KeyArray>& out) const override;
    int has_keys() const override;
    void value_at(float time, KeyArray& out) const override;
    float nearest_key_time(float time) const override;
    SharedPtr<SCProperty> split_component(int n) override;

    /// Subtracts the value last added in additive mode from the property.
    virtual void remove_contribution();

    /// The kind of the spline (an unknown kind is logged and counts as linear).
    SplineType spline_type() const;
    /// Replaces the spline by one of another kind holding the same keys; an unknown kind is
    /// logged and changes nothing.
    void set_spline_type(SplineType type);

    const FloatSpline& spline() const { return *m_spline; }
    /// The spline, first made this controller's own when it is shared.
    FloatSpline& writable_spline();

    float start_chaos() const { return m_start_chaos; }
    float finish_chaos() const { return m_finish_chaos; }
    void set_chaos(float start, float finish)
    {
        m_start_chaos = start;
        m_finish_chaos = finish;
    }
    bool is_proportional() const { return m_proportional; }
    void set_proportional(bool proportional) { m_proportional = proportional; }
    bool is_additive() const { return m_additive; }
    void set_additive(bool additive) { m_additive = additive; }
    std::int32_t aspiration() const { return m_aspiration; }
    void set_aspiration(std::int32_t aspiration) { m_aspiration = aspiration; }
    const VectorD<float>& start_factors() const { return m_start_factors; }
    const VectorD<float>& finish_factors() const { return m_finish_factors; }

private:
    void draw_factors(VectorD<float>& factors, float chaos, std::uint32_t count) const;

    SharedPtr<FloatSpline> m_spline;
    float m_start_chaos = 0.0f;
    float m_finish_chaos = 0.0f;
    bool m_proportional = true;
    bool m_additive = false;
    std::int32_t m_aspiration = 0;
    VectorD<float> m_start_factors;
    VectorD<float> m_finish_factors;
    VectorD<float> m_last;
};

}

KQ_TYPE_NAME(kq::SCKSpline, "class kq::SCKSpline");
KQ_TYPE_NAME(kq::SCKSpline::SplineType, "enum kq::SCKSpline::SplineType");
