#pragma once

#include <string>

#include "engine/art/image_sprite.h"
#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/vector2.h"
#include "engine/ui/control.h"
#include "game/field/field.h"

namespace kq {

/// A vertical gauge of the field's meter on one side of the game frame. The level it shows
/// catches up with the meter over a few frames, the panel is tinted red while the level is
/// low, it shows the meter's two eyes on the field while the meter is not empty, plays the
/// overload effect at most once per 500 ms of field time, and tells the field where the top
/// of its gauge is (where magic dust flies to).
///
/// The field is not owned; the panel lets go of it when the field goes.
class MeterPanel : public Control
{
public:
    /// The meter level at which a low meter stops being one: the tint's full level.
    static constexpr int tint_level = 300000;
    /// The gauge's bottom and height in the panel.
    static constexpr float gauge_bottom = 353.0f;
    static constexpr float gauge_height = 274.0f;
    /// The shortest time between two overload effects, field milliseconds.
    static constexpr int overload_pause_ms = 500;

    MeterPanel() = default;
    MeterPanel(const MeterPanel&) = delete;
    MeterPanel& operator=(const MeterPanel&) = delete;
    /// Lets go of the field and takes the eyes off it.
    ~MeterPanel() override;

    /// Its own look, then the gauge under the tint of the level; the eyes follow the meter.
    void draw(Artist& artist) override;
    using Control::read_skin;
    /// `Control`'s keys, then "full", "empty", "overload_effect_position",
    /// "overload_effect_name", "left_side", "eye1" and "eye2". An eye that describes no
    /// sprite is an error naming its node.
    void read_skin() override;

    /// Shows the field (null for none): listens to its meter and overload, puts the eyes on
    /// its effect layer and takes its meter as the target; the gauge runs there from the
    /// level shown now.
    void set_field(Field* field);
    Field* field() const { return m_field; }
    /// The field's meter becomes the target.
    void take_meter();
    /// Starts the overload effect on the field, unless one started less than 500 ms of
    /// field time ago.
    void show_overload();

    int shown() const { return m_shown; }
    int target() const { return m_target; }
    bool left_side() const { return m_left_side; }
    Sprite* eye(int index) const { return (index == 0 ? m_eye1 : m_eye2).get(); }
    const ImageSprite& full_image() const { return m_full; }
    const ImageSprite& empty_image() const { return m_empty; }
    /// The level line in the panel for the level shown.
    int level_line() const;

private:
    void forget_field();
    void update_eyes();
    void catch_up();
    void tell_meter_point(int line);
    void draw_gauge(Artist& artist, int line);
    static SharedPtr<Sprite> read_eye(const SkinPath& path);

    Field* m_field = nullptr;
    ImageSprite m_full;
    ImageSprite m_empty;
    int m_last_overload = -1;
    Vector2<float> m_overload_position;
    std::string m_overload_effect;
    SharedPtr<Sprite> m_eye1;
    SharedPtr<Sprite> m_eye2;
    bool m_left_side = true;
    Vector2<float> m_full_size;
    Vector2<float> m_empty_size;
    int m_shown = 0;
    int m_target = 0;
};

}
