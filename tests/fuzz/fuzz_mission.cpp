// Reads arbitrary bytes as the skin text of a mission node and builds the level from it, then
// runs a few frames of the field. Document, key and creation errors are expected exceptions;
// a crash, a hang or a sanitizer report is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/base/exception.h"
#include "engine/base/shared_ptr.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"
#include "engine/res/skin_node.h"
#include "game/field/field.h"
#include "game/field/field_types.h"
#include "tests/fuzz/tree_skin.h"

namespace {

// The keys every item and sprite reads, and three item kinds, for the mission to use.
const char* const defaults = R"(
    item_keys { height 0 zero_height 0 form rect size [(40, 40)] density 1 friction 0
        side_friction 0.2 restitution 0 linear_damping 0 angular_damping 0 awning false
        invisible false electrostatic_charge 0 tinkling_priority 0 tinkling_sample ""
        launchable false additive false have_shadow true fast_tinkling false shadow_shift 4
        gen -1 magnetic true ground_cg 255 air_cg 0 base_texture "" base_tbegin [(0, 0)]
        shadow_texture "" shadow_tbegin [(0, 0)] diffuse_texture "" diffuse_tbegin [(0, 0)]
        specular_texture "" specular_tbegin [(0, 0)] animation [{ }] tip "" }
    sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)]
        rotation 0 scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs
        blend_type 0 tex_adress 0 inherit 96 }
    image_keys : sprite_keys { texture "" placement texel tbegin [(0, 0)] tsize [(0, 0)]
        secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)]
        secondary_tsize [(0, 0)] }
    text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
    items {
        a <creating> "class kq::Item" : item_keys { gen 1 form circle }
        b <creating> "class kq::Item" : item_keys { gen 2 form octagon }
        c "class kq::Item" : item_keys { form polygons polygons [{ { (0, 0) (20, 0) (0, 20) } }] }
    }
)";

// A game whose profile has the dragonfly off and whose areas are one fixed point.
struct QuietGame : kq::FieldGame
{
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(kq::StrCache, const kq::Vector2<int>&) override {}
    kq::Vector2<float> pick_area_point(const std::vector<kq::Rect>&) override { return {500, 300}; }
    int difficulty() const override { return 0; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return false; }
    bool extra_points() const override { return false; }
    int level_from_value(int) const override { return 0; }
};

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kq::register_base_types();
    kq::register_res_types();
    kq::register_platform_types();
    kq::register_art_types();
    kq::register_field_types();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kq::SharedPtr<kq::SkinNode> root(new kq::SkinNode);
    if (!kq::test::parse_skin_text(*root, defaults) ||
        !kq::test::parse_skin_text(*root, "mission {" + std::string(reinterpret_cast<const char*>(data), size) + "\n}"))
        return 0;
    kq::test::TreeSkin skin(*root);
    QuietGame game;
    kq::Field field(kq::FieldSettings{}, game);
    try {
        field.read_skin(kq::SkinPath("mission"));
    } catch (const kq::Exception&) {
    }
    try {
        for (int frame = 0; frame < 3; ++frame)
            field.update(20);
    } catch (const kq::Exception&) {
    }
    return 0;
}
