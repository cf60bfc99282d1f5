#include "engine/art/controller_types.h"

#include "engine/art/animation_controller.h"
#include "engine/art/effect_controller.h"
#include "engine/art/event_controller.h"
#include "engine/art/interpolate_controller.h"
#include "engine/art/key_controller.h"
#include "engine/art/key_controller_map.h"
#include "engine/art/key_controller_spline.h"
#include "engine/art/motion_controllers.h"
#include "engine/art/sprite_base.h"
#include "engine/art/sprite_controller.h"
#include "engine/art/status_controllers.h"
#include "engine/base/class_desc.h"
#include "engine/base/register_enum.h"

namespace kq {

namespace {

template <class T>
void register_controller()
{
    rtti::ClassDesc<T>::instance().add_base(type_name<SpriteController>());
}

}

void register_controller_types()
{
    rtti::ClassDesc<SpriteController>::instance().add_base(type_name<SpriteBase>());
    register_controller<AlphaController>();
    register_controller<AlphaKey3Controller>();
    register_controller<AnimationController>();
    register_controller<Color3Controller>();
    register_controller<ColorController>();
    register_controller<ScaleController>();
    register_controller<MoveController>();
    register_controller<TurnController>();
    register_controller<SpinController>();
    register_controller<StatusController>();
    register_controller<ShiftController>();
    register_controller<BeamController>();
    register_controller<ShakeController>();
    register_controller<SplashController>();

    rtti::AbstractClassDesc<KeyController>::instance().add_base(type_name<SpriteController>());
    rtti::AbstractClassDesc<SCProperty>::instance().add_base(type_name<KeyController>());
    rtti::ClassDesc<SCKSpline>::instance().add_base(type_name<SCProperty>());
    rtti::ClassDesc<SCKMap>::instance().add_base(type_name<SCProperty>());
    rtti::ClassDesc<EventController>::instance().add_base(type_name<KeyController>());
    rtti::ClassDesc<EffectController>::instance().add_base(type_name<KeyController>());

    using SplineType = SCKSpline::SplineType;
    rtti::register_enum<SplineType>(
        {{"linear", SplineType::linear}, {"cubic", SplineType::cubic}, {"curve", SplineType::curve}});
    // `bare_copy` has no name: documents cannot ask for it.
    using Manner = EffectController::ApplyManner;
    rtti::register_enum<Manner>({{"child", Manner::child}, {"merge", Manner::merge}, {"copy", Manner::copy}});
}

}
