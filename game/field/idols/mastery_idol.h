#pragma once

#include <deque>

#include "engine/art/image_sprite.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/idols/idol.h"

namespace kq {

/// The idol that rewards skilful play: the field hands it mastery points for every combo and
/// chain bonus, which it keeps by turn. At each turn end the points of the last ten turns,
/// divided by ten, are the player's mastery; reaching the target pleases the idol for good
/// and gives a bolt. A sword beside the figure grows in width with the mastery.
class MasteryIdol : public Idol
{
public:
    /// The figure and rainbow, then "target_mastery" and the sword ("sword"), whose scale as
    /// loaded is its full size.
    void read_skin(const SkinPath& path) override;
    /// Starts with no points, no mastery and an empty gauge.
    void attached() override;
    /// Takes the mastery of the window, pleases the idol at the target, and opens the next
    /// turn's count, dropping counts older than ten turns.
    void turn_end() override;
    /// Moves the gauge toward the mastery's share of the target, 0.3 a second at most.
    void update(int elapsed) override;
    /// The figure, then the sword at the gauge's width.
    void draw(Artist& artist) override;

    /// Adds the points to the current turn's count, made at 0 on first use.
    void add_mastery(int points);

    float target_mastery() const { return m_target_mastery; }
    float mastery() const { return m_mastery; }
    /// Mastery points per turn, oldest first; the last entry is the current turn's.
    const std::deque<int>& turn_points() const { return m_turn_points; }
    ImageSprite& sword() { return m_sword; }
    /// The shown part of the gauge, 0.01 to 1.
    float fill() const { return m_fill; }

private:
    float m_target_mastery = 2.0f;
    float m_mastery = 0.0f;
    std::deque<int> m_turn_points;
    ImageSprite m_sword;
    Vector2<float> m_sword_scale{1.0f, 1.0f};
    float m_fill = 0.0f;
};

}

KQ_TYPE_NAME(kq::MasteryIdol, "class kq::MasteryIdol");
