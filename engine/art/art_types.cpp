#include "engine/art/art_types.h"

#include "engine/art/camera_sprite.h"
#include "engine/art/canvas_sprite.h"
#include "engine/art/controller_types.h"
#include "engine/art/emitter_sprite.h"
#include "engine/art/extern_sprite.h"
#include "engine/art/frame_sprite.h"
#include "engine/art/image_sprite.h"
#include "engine/art/lens_deformer.h"
#include "engine/art/morph_deformer.h"
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_curve.h"
#include "engine/art/spline_linear.h"
#include "engine/art/sound_sprite.h"
#include "engine/art/sprite.h"
#include "engine/art/sprite_base.h"
#include "engine/art/sprite_deformer.h"
#include "engine/art/sprite_logic.h"
#include "engine/art/sprite_timer.h"
#include "engine/art/text_sprite.h"
#include "engine/art/trail_deformer.h"
#include "engine/base/class_desc.h"
#include "engine/base/register_enum.h"
#include "engine/res/skin_startup.h"

namespace kq {

namespace {

void register_enums()
{
    using Placement = ArtTexturePlacement;
    rtti::register_enum<Placement>({{"texel", Placement::texel},
                                    {"full", Placement::full},
                                    {"stretch", Placement::stretch},
                                    {"tile", Placement::tile},
                                    {"projective", Placement::projective}});
    // Several names share a value; the one added last is the one written.
    rtti::register_enum<ArtAlign>({{"begin", ArtAlign::begin},
                                   {"center", ArtAlign::center},
                                   {"end", ArtAlign::end},
                                   {"left", ArtAlign::begin},
                                   {"top", ArtAlign::begin},
                                   {"right", ArtAlign::end},
                                   {"bottom", ArtAlign::end}});
    using Cyclic = SpriteTimer::Cyclic;
    rtti::register_enum<Cyclic>({{"none", Cyclic::none}, {"loop", Cyclic::loop}, {"pingpong", Cyclic::pingpong}});
    using Law = SpriteTimer::CoeffLaw;
    rtti::register_enum<Law>({{"linear", Law::linear},
                              {"cos", Law::cos},
                              {"sin", Law::sin},
                              {"fullsin", Law::fullsin},
                              {"random", Law::random},
                              {"reverse", Law::reverse},
                              {"linear_swing", Law::linear_swing}});
    rtti::register_enum<SpriteShape>({{"rectangle", SpriteShape::rectangle},
                                      {"ellipse", SpriteShape::ellipse},
                                      {"visible", SpriteShape::visible},
                                      {"parent", SpriteShape::parent}});
    using Clickability = Sprite::Clickability;
    rtti::register_enum<Clickability>(
        {{"none", Clickability::none}, {"childs", Clickability::childs}, {"full", Clickability::full}});
}

void register_classes()
{
    rtti::ClassDesc<SpriteBase>::instance();
    rtti::ClassDesc<Sprite>::instance().add_base(type_name<SpriteBase>());
    rtti::ClassDesc<FrameSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<ImageSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<TextSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<SoundSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<EmitterSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<ExternSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<CameraSprite>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<CanvasSprite>::instance().add_base(type_name<ImageSprite>());
    rtti::ClassDesc<SpriteDeformer>::instance().add_base(type_name<SpriteBase>());
    rtti::ClassDesc<LensDeformer>::instance().add_base(type_name<SpriteDeformer>());
    rtti::ClassDesc<MorphDeformer>::instance().add_base(type_name<SpriteDeformer>());
    rtti::ClassDesc<TrailDeformer>::instance().add_base(type_name<SpriteDeformer>());
    rtti::ClassDesc<SpriteTimer>::instance();
    rtti::ClassDesc<SpriteLogic>::instance();
    // The texture handle and its base come with the platform's types; skin documents also
    // name it by its short name.
    rtti::ClassDesc<ResHandle<Texture>>::instance().add_alias("texture_resh");
    rtti::ClassDesc<ResHandle<Sprite>>::instance().add_base(type_name<ResHandleBase>());
}

// The spline kinds over float vectors, registered after the sprite classes, with no base.
void register_splines()
{
    rtti::ClassDesc<LinearSpline<float, VectorD<float>>>::instance();
    rtti::ClassDesc<CubicSpline<float, VectorD<float>>>::instance();
    rtti::ClassDesc<CurveSpline<float, VectorD<float>>>::instance();
}

}

void register_art_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    register_enums();
    register_classes();
    register_splines();
    register_controller_types();
}

void register_art_skin_entries()
{
    add_skin_document("art/art.sdt");
    add_skin_document("art/sprites.sdt");
    // The order the skin documents have always seen, not the order of the values.
    add_skin_constant("IF_NONE", IF_NONE);
    add_skin_constant("IF_TRANSFORMATION", IF_TRANSFORMATION);
    add_skin_constant("IF_RECT", IF_RECT);
    add_skin_constant("IF_STATE", IF_STATE);
    add_skin_constant("IF_DATA", IF_DATA);
    add_skin_constant("IF_COLOR", IF_COLOR);
    add_skin_constant("IF_GLOBALCOLOR", IF_GLOBALCOLOR);
    add_skin_constant("IF_DEFAULT", IF_DEFAULT);
    add_skin_constant("IF_ACCEPTOR", IF_ACCEPTOR);
    add_skin_constant("IF_ALL", IF_ALL);
    add_skin_constant("SP_POSITION", SP_POSITION);
    add_skin_constant("SP_ROTATION", SP_ROTATION);
    add_skin_constant("SP_SCALE", SP_SCALE);
    add_skin_constant("SP_SIZE", SP_SIZE);
    add_skin_constant("SP_PIVOT", SP_PIVOT);
    add_skin_constant("SP_COLOR", SP_COLOR);
    add_skin_constant("SP_ALPHA", SP_ALPHA);
    add_skin_constant("SP_VISIBLE", SP_VISIBLE);
    add_skin_constant("SP_TEXTURE", SP_TEXTURE);
    add_skin_constant("SP_TBEGIN", SP_TBEGIN);
    add_skin_constant("SP_SEC_TBEGIN", SP_SEC_TBEGIN);
}

}
