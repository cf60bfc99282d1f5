#pragma once

#include <vector>

#include "engine/base/random.h"
#include "game/field/field.h"

namespace kq::bench {

/// The game around the field: no overlays, tips or profile; produced pieces land anywhere
/// inside the walls.
class BenchGame : public FieldGame
{
public:
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(StrCache, const Vector2<int>&) override {}
    Vector2<float> pick_area_point(const std::vector<Rect>&) override
    {
        const auto draw = [](float low, float high) { return low + float(random_next()) * (high - low) / 32768.0f; };
        return {draw(80, 940), draw(80, 690)};
    }
    int difficulty() const override { return 0; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return true; }
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override { return progress / 1000; }
};

}
