#pragma once

#include <map>
#include <optional>

#include "engine/art/emitter_sprite.h"
#include "engine/art/image_sprite.h"
#include "engine/base/color.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "game/field/idols/idol.h"

namespace kq {

class Vimu;

/// The idol that asks for sacrifices. It picks a target group among the sacrificial pieces on
/// the field, shows its kind beside the figure with a halo, and keeps a fire level: a shot
/// whose own piece is of the target group and dies raises it, any other shot lowers it while
/// there is a target. Fire burns beside the figure above level 0 and smoke rises below it,
/// both growing with the level. At the top the player gets a fireball and the idol is pleased
/// for good; at the bottom it turns bad and drops a cloud onto the field at every turn end.
/// Pieces of the target group, and fading out those of former targets, wear the halo.
class FireIdol : public Idol
{
public:
    /// Where the target's kind and its halo stand beside the figure, field pixels.
    static constexpr Vector2<float> target_point{34.0f, 46.0f};
    /// Where a bad idol drops its cloud.
    static constexpr Vector2<float> cloud_point{79.0f, 86.0f};

    FireIdol() = default;
    /// Copies the levels, sprites and halo colours; the emitters are shared with the copy.
    FireIdol(const FireIdol& other) = default;
    /// Leaves the field's shot signals.
    ~FireIdol() override;

    /// The figure and rainbow, the halo "galo", the emitters "left_fire", "right_fire",
    /// "left_smoke" and "right_smoke", then "fireball_score" and "cloud_score" (the bottom of
    /// the level is its negation). A missing score keeps its default of 7 or 6.
    void read_skin(const SkinPath& path) override;
    /// Listens to the field's shots, puts the emitters, hidden, on the field's effect layer
    /// and forgets the halo colours.
    void attached() override;
    /// A bad idol drops a cloud and its level returns to 0.
    void turn_end() override;
    /// A good mood shows the rainbow and clears the target for good.
    void mood_changed(IdolMood old_mood, IdolMood new_mood) override;
    /// Picks a new target when the old one is gone or down to one piece, fades the halos
    /// (600 ms for a full fade) and runs the halo on the field's clock.
    void update(int elapsed) override;
    /// The figure, then the target's kind with its halo.
    void draw(Artist& artist) override;

    /// Moves the level by `delta` within its bottom and top, and with it the mood and the
    /// emitters; a change that does not move the level does nothing.
    void change_fire(int delta);
    /// Picks the target group at random among the sacrificial, launchable pieces in a group
    /// of two or more; none when pleased or without candidates.
    void choose_target();
    /// The shot's own piece died: a piece of the target group raises the level (and a new
    /// target is picked), any other lowers it while there is a target.
    void on_shot_scored();
    /// The shot's piece lived: the level goes down while there is a target.
    void on_turn_step();
    /// Draws the halo of the piece's group over it, when that group has a visible one.
    void draw_piece(const Vimu& piece, Artist& artist);

    int target_gen() const { return m_target_gen; }
    int fire_level() const { return m_fire_level; }
    int fireball_score() const { return m_fireball_score; }
    /// The bottom of the level, at most 0 for the scores of the skin.
    int cloud_score() const { return m_cloud_score; }
    /// The halo colour of each group that has been a target.
    const std::map<int, Color>& glows() const { return m_glows; }
    EmitterSprite* left_fire() const { return m_left_fire.get(); }
    EmitterSprite* left_smoke() const { return m_left_smoke.get(); }
    EmitterSprite* right_fire() const { return m_right_fire.get(); }
    EmitterSprite* right_smoke() const { return m_right_smoke.get(); }
    ImageSprite& galo() { return m_galo; }

private:
    // Shows the fire emitter by the level and sizes its flames.
    void update_fire(EmitterSprite* emitter);
    // Shows the smoke emitter by the level and sizes its smoke.
    void update_smoke(EmitterSprite* emitter);

    int m_target_gen = -1;
    int m_fire_level = 0;
    int m_fireball_score = 7;
    int m_cloud_score = -6;
    // Empty until a target's kind has been read.
    std::optional<ImageSprite> m_target_sprite;
    ImageSprite m_galo;
    std::map<int, Color> m_glows;
    SharedPtr<EmitterSprite> m_left_fire;
    SharedPtr<EmitterSprite> m_left_smoke;
    SharedPtr<EmitterSprite> m_right_fire;
    SharedPtr<EmitterSprite> m_right_smoke;
};

}

KQ_TYPE_NAME(kq::FireIdol, "class kq::FireIdol");
