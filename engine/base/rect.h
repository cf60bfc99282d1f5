#pragma once

#include "engine/base/vector2.h"

namespace kq {

/// A rectangle of floats; x, y is the top-left corner.
struct Rect {
    /// The rectangle of size `size` centred on `centre`.
    static Rect from_center(Vector2<float> centre, Vector2<float> size)
    {
        return {centre.x - size.x / 2, centre.y - size.y / 2, size.x, size.y};
    }

    /// Exact equality of all four fields.
    friend bool operator==(const Rect&, const Rect&) = default;

    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;
};

/// A rectangle of integers (pixels); x, y is the top-left corner.
struct RectI {
    /// Exact equality of all four fields.
    friend bool operator==(const RectI&, const RectI&) = default;

    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

}
