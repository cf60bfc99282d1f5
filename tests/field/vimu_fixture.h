#pragma once

#include <memory>
#include <string>

#include "game/field/field.h"
#include "game/field/objects/vimu.h"
#include "item_fixture.h"

namespace kq::test {

/// The keys of a text sprite, of a mission (a shot costs 1000, 1500 or 2000 of a meter of
/// 500000 out of 1000000, pieces come in at the top) and of a piece (a circle of 40 pixels,
/// cost 10), each at a plain value; on top of `sprite_defaults`.
inline const char* const mission_defaults = R"(
    text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
    mission_keys {
        bonuses { vimoes_per_bonus 10 }
        max_meter 1000000 start_meter 500000 throw_difficulty [(2 3 4)] time_difficulty [(4, 5, 6)]
        initial_bonuses [{ }] area [{ ((0, 0), (1024, 768)) }]
        vimu_production_area [{ ((100, 0), (800, 100)) }]
        danger_sample "" end_danger_sample "" bowl_sample "" time_start_sample ""
        time_stop_sample "" back "" accuracy : image_keys { } arrow_head : image_keys { }
        arrow_tail : image_keys { } friction_coefficient 1 dark false darkening : image_keys { }
        launch_nember : text_keys { }
    }
    piece_keys : item_keys { form circle size [(40, 40)] density 1 launchable true cost 10
        color [(1, 1, 1)] sacrifice false tremble_type scale }
)";

/// A mission of plain keys with pieces of two gens ("items.red", "items.green" of gen 1 and
/// "items.blue" of gen 2, "items.grey" of none: circles of 40 pixels, cost 10), two fireballs,
/// spirits of gen 1, jewels of three sizes and a cloud; a shot costs 1000, 1500 or 2000 of a
/// meter of 500000 out of 1000000. `missions` adds nodes below "missions", `extra` top-level
/// nodes.
inline std::unique_ptr<TestSkinEnvironment> piece_skin(const std::string& missions = "", const std::string& extra = "")
{
    return item_skin(std::string(sprite_defaults) + mission_defaults + R"(
    bonus_keys { sprite_on_vimu : image_keys { } sprite_on_panel : sprite_keys { } number_on_panel 1
        life_time_on_vimu 2 life_time_on_field 0 data 2 end_type on_shot present false probability 100
        name "" twinkling false }
    items {
        red "class kq::Vimu" : piece_keys { gen 1 color [(1, 0, 0)] }
        green "class kq::Vimu" : piece_keys { gen 1 tremble_type move }
        blue "class kq::Vimu" : piece_keys { gen 2 }
        fireball "class kq::Fireball" : item_keys { form circle size [(30, 30)] density 1 fire ""
            galo : image_keys { } }
        silence_fireball "class kq::Fireball" : item_keys { form circle size [(30, 30)] density 1 fire ""
            galo : image_keys { } }
        grey "class kq::Vimu" : piece_keys { gen -1 }
        spirit1 "class kq::Item" : item_keys { form circle size [(10, 10)] }
        jewel1 "class kq::Item" : item_keys { form circle size [(10, 10)] }
        jewel2 "class kq::Item" : item_keys { form circle size [(20, 20)] }
        jewel3 "class kq::Item" : item_keys { form circle size [(30, 30)] }
        cloud "class kq::Item" : item_keys { form circle size [(60, 60)] }
    }
    missions { plain : mission_keys { } )" + missions + R"( }
)" + extra);
}

/// The floating text effect, as every test that shows texts describes it: its prototype is
/// made once for the whole run.
inline const char* floating_text_effect = R"(
    effects { floating_text "class kq::TextSprite" : text_keys { size [(80, 16)] } })";

/// A field of the mission (by default the plain one) with the given powerup counts;
/// `missions` adds missions to the skin.
struct PieceField
{
    explicit PieceField(std::array<int, 5> powerups = {}, const std::string& missions = "",
                        const std::string& mission = "plain", const std::string& extra = "")
        : skin(piece_skin(missions, extra)), field(FieldSettings{{}, powerups}, game)
    {
        field.read_skin(SkinPath("missions") + mission.c_str());
    }

    /// A new piece of the kind ("red", "green", "blue") on the field at the point.
    Vimu* add(const char* kind, Vector2<float> point)
    {
        auto* piece = create_from_skin<Vimu>(SkinPath("items") + kind);
        field.add_item(piece, ItemPlacement{point, 0.0f});
        return piece;
    }

    /// Press at the point, drag to `to` and let go, as the game does.
    bool shoot(Vector2<float> from, Vector2<float> to)
    {
        if (!field.on_press(from))
            return false;
        field.set_aim_point(to);
        field.update_aim_point();
        field.launch();
        return true;
    }

    /// Runs the field for `ms` milliseconds in steps of 10.
    void run(int ms)
    {
        for (int t = 0; t < ms; t += 10)
            field.update(10);
    }

    std::unique_ptr<TestSkinEnvironment> skin;
    FakeGame game;
    Field field;
};

}
