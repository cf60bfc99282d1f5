#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/exception.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "game/field/field.h"
#include "game/field/objects/item.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

/// Every key an item reads, each at its default; item nodes of the tests inherit it and
/// write only what they change.
inline const char* const item_defaults = R"(
    item_keys {
        height 0 zero_height 0 form rect size [(100, 100)] density 0 friction 0
        side_friction 0.2 restitution 0 linear_damping 0 angular_damping 0 awning false
        invisible false electrostatic_charge 0 tinkling_priority 0 tinkling_sample ""
        launchable false additive false have_shadow true fast_tinkling false shadow_shift 4
        gen -1 magnetic true ground_cg 255 air_cg 0
        base_texture "" base_tbegin [(0, 0)] shadow_texture "" shadow_tbegin [(0, 0)]
        diffuse_texture "" diffuse_tbegin [(0, 0)] specular_texture "" specular_tbegin [(0, 0)]
        animation [{ }] tip ""
    }
)";

/// The keys of a plain sprite and an image sprite, each at a neutral value.
inline const char* const sprite_defaults = R"(
    sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 96 }
    image_keys : sprite_keys { texture "" placement texel tbegin [(0, 0)] tsize [(0, 0)]
        secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(0, 0)] }
)";

/// A skin of the item defaults followed by the nodes of `text`.
inline std::unique_ptr<TestSkinEnvironment> item_skin(const std::string& text)
{
    return std::make_unique<TestSkinEnvironment>(std::string(item_defaults) + text);
}

/// The game as a field of the tests sees it.
struct FakeGame : FieldGame
{
    int overlay_count() const override { return overlays; }
    bool has_dragonfly() const override { return dragonfly; }
    void show_tip(StrCache name, const Vector2<int>& point) override { tips.emplace_back(name.c_str(), point); }
    /// The next of `points` (the last one again once they run out; (0, 0) without any).
    Vector2<float> pick_area_point(const std::vector<Rect>&) override
    {
        ++picks;
        if (points.empty())
            return {};
        return points[std::min(std::size_t(picks - 1), points.size() - 1)];
    }
    int difficulty() const override { return difficulty_index; }
    bool grip_aim() const override { return grip; }
    bool effects_on() const override { return effects; }
    bool extra_points() const override { return extra; }
    /// One level for every `level_cost` of progress.
    int level_from_value(int progress) const override { return progress / level_cost; }
    bool has_jewels() const override { return jewels; }
    bool has_trophy(int index) const override { return index == trophy; }
    bool animated_powerups() const override { return animate; }
    int effect_count() const override { return effects_running; }
    bool eased_drain() const override { return eased; }

    bool dragonfly = false;
    int difficulty_index = 0;
    bool grip = false;
    bool effects = false;
    bool extra = false;
    bool jewels = false;
    bool animate = false;
    int effects_running = 0;
    bool eased = false;
    /// The one trophy the profile holds; -1 for none.
    int trophy = -1;
    int level_cost = 1000;
    std::vector<Vector2<float>> points;
    int picks = 0;
    std::vector<std::pair<std::string, Vector2<int>>> tips;
    int overlays = 0;
};

/// The message of the exception that `action` throws, or "" when it throws none.
inline std::string error_of(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.message();
    }
    return "";
}

/// A new item described at the path.
inline Item* item_at(const char* path)
{
    return create_from_skin<Item>(SkinPath(path));
}

/// An item that records what the field tells it and can be made to die or attract.
struct ProbeItem : Item
{
    struct Contact
    {
        Item* other;
        ContactInfo info;
    };

    void on_contact(Item& other, const ContactInfo& info) override
    {
        Item::on_contact(other, info);
        contacts.push_back({&other, info});
        if (victim)
            victim->die();
    }
    bool is_attractor() const override { return attractor; }
    void on_fallen() override { ++fallen; }
    void die() { m_dead = true; }

    std::vector<Contact> contacts;
    ProbeItem* victim = nullptr;
    bool attractor = false;
    int fallen = 0;
};

/// A probe item of the default keys changed by `keys`.
inline ProbeItem* probe(const std::string& keys)
{
    auto skin = item_skin("t \"class kq::Item\" : item_keys { " + keys + " }");
    auto* item = new ProbeItem;
    item->read_skin(SkinPath("t"));
    return item;
}

}
