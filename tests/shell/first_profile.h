#pragma once

#include <vector>

#include "tests/field/item_fixture.h"

namespace kq::test {

/// A game of the first profile: easy, no trophies, effects off; produced pieces land on the
/// first area's corner.
struct FirstProfile : FakeGame
{
    Vector2<float> pick_area_point(const std::vector<Rect>& areas) override
    {
        return areas.empty() ? Vector2<float>{} : Vector2<float>{areas[0].x, areas[0].y};
    }
};

}
