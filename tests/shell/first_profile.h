#pragma once

#include <vector>

#include "game/field/field.h"

namespace kq::test {

/// A game of the first profile: easy, no trophies, effects off; produced pieces land on the
/// first area's corner.
struct FirstProfile : FieldGame
{
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(StrCache, const Vector2<int>&) override {}
    Vector2<float> pick_area_point(const std::vector<Rect>& areas) override
    {
        return areas.empty() ? Vector2<float>{} : Vector2<float>{areas[0].x, areas[0].y};
    }
    int difficulty() const override { return 0; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return false; }
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override { return progress / 1000; }
};

}
