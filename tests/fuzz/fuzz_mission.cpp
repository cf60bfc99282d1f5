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
#include "engine/base/string_stream.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"
#include "game/field/field.h"
#include "game/field/field_types.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/profile.h"

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

// A skin over one parsed tree, without definitions or functions.
class TreeSkin : public kq::SkinEnvironment
{
public:
    explicit TreeSkin(kq::SkinNode& root) : m_root(root) { kq::set_skin_environment(this); }
    ~TreeSkin() override { kq::set_skin_environment(nullptr); }

    kq::SkinNode& root() override { return m_root; }
    kq::SkinNode* try_find_node(const kq::SkinPath& path, bool need_value) override
    {
        return kq::SkinNode::find(need_value, path, m_root);
    }
    std::string node_text(const kq::SkinPath& path) override
    {
        kq::SkinNode* node = try_find_node(path, true);
        if (!node)
            throw kq::ServiceException("skin", "node not found [" + path.text() + "]");
        return node->value().evaluate(path);
    }
    const std::string& definition(kq::StrCache) override { return m_definition; }
    void define(kq::StrCache, const std::string&) override {}
    std::string call_function(kq::StrCache, const std::vector<std::string>&, const kq::SkinPath&) override
    {
        throw kq::ServiceException("skin", "using undefined function");
    }
    bool is_constant_function(kq::StrCache) override { return false; }
    void use_document(const kq::FilePath&) override {}

private:
    kq::SkinNode& m_root;
    std::string m_definition = "d";
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
    try {
        kq::StringStream known(defaults);
        kq::SkinNode::parse_children(*root, known);
        kq::StringStream mission("mission {" +
                                 std::string(reinterpret_cast<const char*>(data), size) + "\n}");
        kq::SkinNode::parse_children(*root, mission);
    } catch (const kq::Exception&) {
        return 0;
    }
    TreeSkin skin(*root);
    // A new profile's game with its effects off.
    kq::Profile profile;
    profile.effects = false;
    kq::ProfileFieldGame game(profile);
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
