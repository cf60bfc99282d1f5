#pragma once

#include "engine/base/socket.h"
#include "engine/ui/control.h"

namespace kq {

class Slider;

/// The draggable knob of a slider: a press captures the mouse, every movement while it holds
/// the capture moves the slider's value to the pointer, and the release reports a final change.
class SliderPin : public Control
{
public:
    explicit SliderPin(Slider* slider) : m_slider(slider) {}

    /// While the pin holds the top capture entry: the slider's value follows the pointer.
    void on_mouse_move(Vector2<int> point) override;
    /// Left press: captures the mouse; left release while capturing: releases it and emits the
    /// slider's value signal (final). Then the base reaction.
    bool on_key(Key key, KeyState state) override;

private:
    Slider* m_slider;
};

/// An integer value in a range, shown by the place of its pin (the child "pin") along a
/// horizontal or vertical track; `m_border` pixels at each end of the track lie outside the
/// range. The user drags the pin or clicks the track; only those changes are reported.
/// A track not longer than twice the border, or an empty range, keeps the value at the
/// minimum and the pin at the start of the track.
class Slider : public Control
{
public:
    using Direction = SliderDirection;

    /// Range 0 to 100, value 100, horizontal, border 16; the pin is listed as the child "pin"
    /// and a click on the track moves the value in the next scheduler step.
    Slider();
    /// The other's settings and value, with a pin of its own; not attached, no handlers.
    Slider(const Slider& other);
    ~Slider() override;

    /// The base layout, then the pin is placed.
    void relayout() override;
    /// The control's keys, then "min_value", "max_value", "direction" and "border"; the value
    /// goes to the minimum (no signal).
    void read_skin() override;

    /// Clamps v into the range (the minimum wins an inverted range) and places the pin; no
    /// signal.
    void set_value(int v);
    /// Makes the range 0 to n unless it already is, clamping the value; no signal.
    void set_max_value(int n);
    /// The track point that shows the value, in the slider's coordinates (the other axis 0).
    Vector2<int> value_to_point() const;
    /// Moves the value to the track point p (slider coordinates); a changed result is
    /// reported, as final unless the pin is dragging.
    void set_value_from_point(Vector2<int> p);
    /// Moves the pin to show the value.
    void place_pin();

    int value() const { return m_value; }
    int min_value() const { return m_min_value; }
    int max_value() const { return m_max_value; }
    Direction direction() const { return m_direction; }
    int border() const { return m_border; }
    SliderPin& pin() { return m_pin; }

    /// A user's change: true when final, false while dragging.
    Socket<void(bool)>& on_value() { return m_on_value; }

private:
    void connect_click();
    /// The track click, run deferred: the value moves to the mouse.
    void move_to_click();

    int m_min_value = 0;
    int m_max_value = 100;
    int m_value = 100;
    Direction m_direction = Direction::horizontal;
    int m_border = 16;
    SliderPin m_pin;
    Socket<void(bool)> m_on_value;
};

}

KQ_TYPE_NAME(kq::Slider, "class kq::Slider");
