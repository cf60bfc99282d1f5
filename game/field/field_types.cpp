#include "game/field/field_types.h"

#include "engine/base/class_desc.h"
#include "engine/base/enum_desc.h"
#include "game/field/effects/curve_particle_effect.h"
#include "game/field/effects/powerup_add_effect.h"
#include "game/field/effects/vimu_pursue_effect.h"
#include "game/field/field_enums.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/idols/fire_idol.h"
#include "game/field/idols/idol.h"
#include "game/field/idols/mastery_idol.h"
#include "game/field/idols/time_idol.h"
#include "game/field/objects/beetle.h"
#include "game/field/objects/brick.h"
#include "game/field/objects/charge.h"
#include "game/field/objects/cloud.h"
#include "game/field/objects/door.h"
#include "game/field/objects/dragonfly.h"
#include "game/field/objects/fireball.h"
#include "game/field/objects/hole.h"
#include "game/field/objects/item.h"
#include "game/field/objects/magnet.h"
#include "game/field/objects/rocket.h"
#include "game/field/objects/roller.h"
#include "game/field/objects/roller_head.h"
#include "game/field/objects/spirit.h"
#include "game/field/objects/treasure.h"
#include "game/field/objects/vimu.h"
#include "game/field/objects/whirlwind.h"
#include "game/field/objects/white_cloud.h"

namespace kq {

namespace {

void register_enums()
{
    rtti::EnumBase& form = rtti::EnumDesc<ItemForm>::instance();
    form.add("circle", 0);
    form.add("rect", 1);
    form.add("polygons", 2);
    form.add("octagon", 3);

    rtti::EnumBase& tremble = rtti::EnumDesc<TrembleType>::instance();
    tremble.add("scale", 0);
    tremble.add("move", 1);

    rtti::EnumBase& bonus = rtti::EnumDesc<Bonus>::instance();
    bonus.add("splinter", 0);
    bonus.add("explode", 11);
    bonus.add("cost_3x", 1);
    bonus.add("shock_wave", 2);
    bonus.add("accuracy", 3);
    bonus.add("slipperiness", 4);
    bonus.add("powerful_strike", 5);
    bonus.add("any_activator", 6);
    bonus.add("magnetic", 7);
    bonus.add("spirit", 8);
    bonus.add("treasure", 9);

    rtti::EnumBase& bonus_end = rtti::EnumDesc<BonusEnd>::instance();
    bonus_end.add("on_shot", 0);
    bonus_end.add("on_turn", 1);

    rtti::EnumBase& game_state = rtti::EnumDesc<GameState>::instance();
    game_state.add("fail", 1);
    game_state.add("win", 2);
    game_state.add("skip", 3);

    rtti::EnumBase& mood = rtti::EnumDesc<IdolMood>::instance();
    mood.add("none", -1);
    mood.add("bad", 0);
    mood.add("normal", 1);
    mood.add("good", 2);

    rtti::EnumBase& condition = rtti::EnumDesc<Condition>::instance();
    condition.add("true", 0);
    condition.add("false", 1);
    condition.add("has_trophy", 2);
    condition.add("has_not_trophy", 3);
}

}

void register_field_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    register_enums();
    rtti::AbstractClassDesc<Idol>::instance();
    rtti::ClassDesc<CreationIdol>::instance().add_base<Idol>();
    rtti::ClassDesc<TimeIdol>::instance().add_base<Idol>();
    rtti::ClassDesc<FireIdol>::instance().add_base<Idol>();
    rtti::ClassDesc<MasteryIdol>::instance().add_base<Idol>();
    // The field objects are made by name from skin texts; an item streams only in binary.
    rtti::ClassDesc<Item>::instance();
    rtti::ClassDesc<Vimu>::instance().add_base<Item>();
    rtti::ClassDesc<Treasure>::instance().add_base<Item>();
    rtti::ClassDesc<Brick>::instance().add_base<Item>();
    rtti::ClassDesc<Cloud>::instance().add_base<Item>();
    rtti::ClassDesc<Fireball>::instance().add_base<Item>();
    rtti::ClassDesc<Whirlwind>::instance().add_base<Item>();
    rtti::ClassDesc<Magnet>::instance().add_base<Item>();
    rtti::ClassDesc<Door>::instance().add_base<Item>();
    rtti::ClassDesc<Rocket>::instance().add_base<Item>();
    rtti::ClassDesc<Spirit>::instance().add_base<Item>();
    rtti::ClassDesc<Charge>::instance().add_base<Item>();
    rtti::ClassDesc<Dragonfly>::instance().add_base<Item>();
    rtti::ClassDesc<Hole>::instance().add_base<Item>();
    rtti::ClassDesc<WhiteCloud>::instance().add_base<Item>();
    rtti::ClassDesc<Beetle>::instance().add_base<Item>();
    rtti::ClassDesc<Roller>::instance().add_base<Item>();
    rtti::ClassDesc<RollerHead>::instance().add_base<Item>();
    // The pursuit base is never made by name: only its effects are registered, as sprites.
    rtti::ClassDesc<SplinterEffect>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<BonusBringEffect>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<CurveParticleEffect>::instance().add_base(type_name<Sprite>());
    rtti::ClassDesc<PowerupAddEffect>::instance().add_base(type_name<CurveParticleEffect>());
}

}
