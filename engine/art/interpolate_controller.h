#pragma once

#include <cmath>

#include "engine/art/sprite_controller.h"
#include "engine/base/color.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/res/skin_path.h"

namespace kq {

/// Readers of the blended value kinds from skin nodes (each key required).
void read_blend_value(const SkinPath& path, float* out);
void read_blend_value(const SkinPath& path, Color* out);
/// Reads "(" r "," g "," b ")".
void read_blend_value(const SkinPath& path, Color3* out);
void read_blend_value(const SkinPath& path, Vector2<float>* out);

/// from + (to - from) × c, component by component.
template <class T>
T blend(const T& from, const T& to, float c)
{
    return from + (to - from) * c;
}

template <>
inline Vector2<float> blend(const Vector2<float>& from, const Vector2<float>& to, float c)
{
    return {from.x + (to.x - from.x) * c, from.y + (to.y - from.y) * c};
}

/// The fraction of the way from start to end a begin drawn with this variation lies at.
float draw_variation(float variation);

/// A controller that blends a value from its begin to its end value by its timer's
/// coefficient and hands the result to the sprite. The begin is the start value, or, with a
/// variation, a point drawn anew at every start between the start value and start + (end -
/// start) × variation. Neither values nor variation are part of the binary form.
template <class T>
class InterpolateController : public SpriteController
{
public:
    /// Reads the controller keys, then "start_value", "end_value" and "variation"; the begin
    /// becomes the start value.
    void read_skin(const SkinPath& path) override
    {
        SpriteController::read_skin(path);
        read_blend_value(path + "start_value", &m_start_value);
        read_blend_value(path + "end_value", &m_end_value);
        read_blend_value(path + "variation", &m_variation);
        m_begin = m_start_value;
    }

    /// Applies, then picks the begin value.
    void start() override
    {
        SpriteController::start();
        if (std::fabs(m_variation) < 1.1920929e-7f)
            m_begin = m_start_value;
        else
            randomize_begin();
    }

    /// The controller update, then the blended value goes to the sprite (nothing without a
    /// timer).
    void update(const TimeStamp& stamp) override
    {
        SpriteController::update(stamp);
        const SpriteTimer* timer = find_timer();
        if (!timer)
            return;
        put_value(blend(m_begin, m_end_value, timer->coefficient()), *timer);
    }

    /// Draws the begin on the segment from the start value towards the end value, one draw
    /// for all components.
    virtual void randomize_begin()
    {
        m_begin = blend(m_start_value, m_end_value, draw_variation(m_variation));
    }

    /// Hands the blended value to the sprite.
    virtual void put_value(const T& value, const SpriteTimer& timer) = 0;

    const T& start_value() const { return m_start_value; }
    void set_start_value(const T& value) { m_start_value = value; }
    const T& end_value() const { return m_end_value; }
    void set_end_value(const T& value) { m_end_value = value; }
    float variation() const { return m_variation; }
    void set_variation(float variation) { m_variation = variation; }
    const T& begin() const { return m_begin; }

protected:
    void set_begin(const T& begin) { m_begin = begin; }

private:
    // A controller built in code starts at zero; a skin load always sets both values.
    T m_start_value{};
    T m_end_value{};
    float m_variation = 0.0f;
    T m_begin{};
};

/// Sets the sprite's alpha, keeping its red, green and blue.
class AlphaController : public InterpolateController<float>
{
public:
    void put_value(const float& value, const SpriteTimer& timer) override;
};

/// Sets the sprite's scale to (v, v) (through the scale floor of 0.001).
class ScaleController : public InterpolateController<float>
{
public:
    void put_value(const float& value, const SpriteTimer& timer) override;
};

/// Turns the sprite at v radians a second over the timer's step.
class SpinController : public InterpolateController<float>
{
public:
    void put_value(const float& value, const SpriteTimer& timer) override;
};

/// Sets all four channels of the sprite's colour.
class ColorController : public InterpolateController<Color>
{
public:
    /// One draw for each channel, in the order r, g, b, a.
    void randomize_begin() override;
    void put_value(const Color& value, const SpriteTimer& timer) override;
};

/// Sets the sprite's red, green and blue, keeping its alpha.
class Color3Controller : public InterpolateController<Color3>
{
public:
    /// One draw for each channel, in the order r, g, b.
    void randomize_begin() override;
    void put_value(const Color3& value, const SpriteTimer& timer) override;
};

/// Moves the sprite by the change of the blended offset, so other movers add up with it.
class ShiftController : public InterpolateController<Vector2<float>>
{
public:
    ShiftController() = default;
    /// Copies the settings; the copy has applied no offset yet.
    ShiftController(const ShiftController& other) : InterpolateController(other) {}

    void put_value(const Vector2<float>& value, const SpriteTimer& timer) override;

    /// The offset moved so far (kept across restarts).
    Vector2<float> applied_offset() const { return m_applied; }
    /// Forgets the offset moved so far, for a sprite that was placed anew.
    void set_applied_offset(Vector2<float> offset) { m_applied = offset; }

private:
    Vector2<float> m_applied;
};

}

KQ_TYPE_NAME(kq::AlphaController, "class kq::AlphaController");
KQ_TYPE_NAME(kq::ScaleController, "class kq::ScaleController");
KQ_TYPE_NAME(kq::SpinController, "class kq::SpinController");
KQ_TYPE_NAME(kq::ColorController, "class kq::ColorController");
KQ_TYPE_NAME(kq::Color3Controller, "class kq::Color3Controller");
KQ_TYPE_NAME(kq::ShiftController, "class kq::ShiftController");
