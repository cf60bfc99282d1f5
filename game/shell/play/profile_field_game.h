#pragma once

#include <vector>

#include "game/field/field.h"

namespace kq {

class Game;
class Profile;

/// The game a mission's field is played in, answered from a profile: its difficulty, its
/// "effects" option and the advantages of its trophies (chapter 3 aims from the grip, 4 brings
/// the dragonfly, 7 the jewels). Levels cost the profile's upgrade steps and new pieces land
/// anywhere in the field's areas. Without a profile it answers as a new profile would.
class ProfileFieldGame : public FieldGame
{
public:
    /// Answers from the Game's current profile and shows its tips; the Game outlives the field.
    explicit ProfileFieldGame(Game& game) : m_game(&game) {}
    /// Answers from `profile`, which outlives the field, and shows no tips: the same game for
    /// the developer's tools, the tests and the benchmarks.
    explicit ProfileFieldGame(const Profile& profile) : m_profile(&profile) {}

    /// Nothing of the game's own covers the field.
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return has_trophy(4); }
    /// A tip the field asks for while the player holds an aim waits until the aim is let go
    /// (`set_aim_held`): a tip never opens under the player's pull.
    void show_tip(StrCache name, const Vector2<int>& point) override;
    /// Whether the player holds an aim now; letting go asks the Game for the tips that waited,
    /// in the order the field asked for them.
    void set_aim_held(bool held);
    Vector2<float> pick_area_point(const std::vector<Rect>& areas) override;
    int difficulty() const override;
    bool grip_aim() const override { return has_trophy(3); }
    bool effects_on() const override;
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override;
    bool has_jewels() const override { return has_trophy(7); }
    bool has_trophy(int index) const override;

private:
    /// The profile answered from; null when there is none.
    const Profile* profile() const;

    struct WaitingTip
    {
        StrCache name;
        Vector2<int> point;
    };

    Game* m_game = nullptr;
    const Profile* m_profile = nullptr;
    bool m_aim_held = false;
    std::vector<WaitingTip> m_waiting_tips;
};

}
