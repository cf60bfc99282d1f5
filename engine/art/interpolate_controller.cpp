#include "engine/art/interpolate_controller.h"

#include "engine/art/sprite.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"

namespace kq {

void read_blend_value(const SkinPath& path, float* out)
{
    read_skin_value(path, out);
}

void read_blend_value(const SkinPath& path, Color* out)
{
    read_skin_value(path, out);
}

void read_blend_value(const SkinPath& path, Color3* out)
{
    StringStream stream(get_skin_text(path));
    stream >> *out;
}

void read_blend_value(const SkinPath& path, Vector2<float>* out)
{
    read_skin_value(path, out);
}

float draw_variation(float variation)
{
    return random_float(variation);
}

void AlphaController::put_value(const float& value, const SpriteTimer&)
{
    if (Sprite* target = sprite())
        target->set_alpha(value);
}

void ScaleController::put_value(const float& value, const SpriteTimer&)
{
    if (Sprite* target = sprite())
        target->set_scale(value);
}

void SpinController::put_value(const float& value, const SpriteTimer& timer)
{
    if (Sprite* target = sprite())
        target->rotate_by(value * static_cast<float>(timer.step()) * 0.001f);
}

void ColorController::randomize_begin()
{
    const Color& from = start_value();
    const Color& to = end_value();
    // Separate statements keep the draws in channel order.
    const float r = draw_variation(variation());
    const float g = draw_variation(variation());
    const float b = draw_variation(variation());
    const float a = draw_variation(variation());
    set_begin({blend(from.r, to.r, r), blend(from.g, to.g, g), blend(from.b, to.b, b), blend(from.a, to.a, a)});
}

void ColorController::put_value(const Color& value, const SpriteTimer&)
{
    if (Sprite* target = sprite())
        target->set_color(value);
}

void Color3Controller::randomize_begin()
{
    const Color3& from = start_value();
    const Color3& to = end_value();
    const float r = draw_variation(variation());
    const float g = draw_variation(variation());
    const float b = draw_variation(variation());
    set_begin({blend(from.r, to.r, r), blend(from.g, to.g, g), blend(from.b, to.b, b)});
}

void Color3Controller::put_value(const Color3& value, const SpriteTimer&)
{
    if (Sprite* target = sprite())
        target->set_rgb(value);
}

void ShiftController::put_value(const Vector2<float>& value, const SpriteTimer&)
{
    Sprite* target = sprite();
    if (!target)
        return;
    target->move_by(value - m_applied);
    m_applied = value;
}

}
