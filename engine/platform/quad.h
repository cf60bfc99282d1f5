#pragma once

#include <array>

namespace kq {

/// A vertex as callers hand it to the artist: a position in the current transformation's
/// coordinates, a colour with channels 0 to 1 and two texture-coordinate pairs.
struct QuadVertex {
    float x = 0.0f;
    float y = 0.0f;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    float tu = 0.0f;   ///< first texture stage
    float tv = 0.0f;
    float tu2 = 0.0f;  ///< second texture stage
    float tv2 = 0.0f;
};

/// The unit of geometry: four vertices, for rectangles in the order top-left, top-right,
/// bottom-right, bottom-left.
struct Quad {
    std::array<QuadVertex, 4> v;
};

static_assert(sizeof(QuadVertex) == 40);
static_assert(sizeof(Quad) == 160);

}
