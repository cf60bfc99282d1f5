#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/field.h"
#include "item_fixture.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::error_of;
using testing::HasSubstr;

// Every key of the field's texts, bonuses and missions, at values of their own, and items of
// three gens.
const char* const mission_keys = R"(
    text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
    bonus_keys { sprite_on_vimu : image_keys { } sprite_on_panel : sprite_keys { } number_on_panel 1
        life_time_on_vimu 2 life_time_on_field 3 data 4 end_type on_turn present true probability 100
        name "" twinkling false }
    mission_keys {
        bonuses { vimoes_per_bonus 3 }
        max_meter 200 start_meter 70 throw_difficulty [(1 2 3)] time_difficulty [(4, 5, 6)]
        initial_bonuses [{ slipperiness, 0 }] area [{ ((0, 0), (1024, 768)) }]
        vimu_production_area [{ ((100, 0), (800, 100)) ((100, 600), (800, 100)) }]
        danger_sample "sounds/danger.ogg" end_danger_sample "" bowl_sample "" time_start_sample ""
        time_stop_sample "" back "" accuracy : image_keys { } arrow_head : image_keys { }
        arrow_tail : image_keys { } friction_coefficient 0.5 dark true darkening : image_keys { }
        launch_nember : text_keys { }
    }
    items {
        a "class kq::Item" : item_keys { gen 1 }
        b "class kq::Item" : item_keys { gen 2 }
        c "class kq::Item" : item_keys { gen 3 }
        ruby <creating> "class kq::Item" : item_keys { gen 1 }
    }
)";

std::unique_ptr<test::TestSkinEnvironment> mission_skin(const std::string& missions)
{
    return test::item_skin(std::string(test::sprite_defaults) + mission_keys + missions);
}

// The items' skin paths and positions, in the field's order.
std::vector<std::string> placed(const Field& field)
{
    std::vector<std::string> out;
    for (const SharedPtr<Item>& item : field.items())
        out.push_back(item->skin_path().text() + " " + std::to_string(int(item->position().x)) + "," +
                      std::to_string(int(item->position().y)));
    return out;
}

class FieldLoad : public testing::Test
{
protected:
    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

TEST_F(FieldLoad, ReadsTheSettingsAndPlacesItemsInOrder)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            bonuses { vimoes_per_bonus 4 magnetic <bonus> : bonus_keys { name "Magnet" data 9 } }
            wall <item> "class kq::Item" : item_keys { position [(100, 200)] angle 90 }
            grid <array> "class kq::Item" : item_keys { angle 0.5 array_position [(300, 300)]
                array_step [(40, 50)] array_size [(2, 3)] }
            none <array> "class kq::Item" : item_keys { angle 0 array_position [(0, 0)]
                array_step [(1, 1)] array_size [(0, 4)] }
            pic <picture> { start_position [(600, 100)] step 30 row 3 vimus [{ 0 -1 1 0 0 -2 }] bank [{ a b }] }
        } }
    )");
    random_seed(1);
    m_field.read_skin(SkinPath("missions.m1"));

    EXPECT_EQ(m_field.vimoes_per_bonus(), 4);
    EXPECT_EQ(m_field.max_meter(), 200);
    EXPECT_EQ(m_field.meter(), 70);
    EXPECT_EQ(m_field.throw_difficulty(), (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(m_field.time_difficulty(), (std::array<int, 3>{4, 0, 5})) << "a comma reads as the number 0";
    EXPECT_EQ(m_field.initial_bonuses(), (std::map<Bonus, int>{{Bonus::slipperiness, 0}}));
    EXPECT_TRUE(m_field.has_initial_bonus(Bonus::slipperiness)) << "listed with 0 is still listed";
    EXPECT_EQ(m_field.areas(), (std::vector<Rect>{{0, 0, 1024, 768}}));
    EXPECT_EQ(m_field.production_areas().size(), 2u);
    EXPECT_FLOAT_EQ(m_field.friction_coefficient(), 0.5f);
    EXPECT_TRUE(m_field.is_dark());
    const BonusSettings* magnet = m_field.bonus_settings(Bonus::magnetic);
    ASSERT_NE(magnet, nullptr);
    EXPECT_EQ(magnet->name, "Magnet");
    EXPECT_EQ(magnet->data, 9);
    EXPECT_EQ(magnet->end_type, BonusEnd::on_turn);
    EXPECT_EQ(m_field.creatable().size(), 1u);

    const std::vector<std::string> items = placed(m_field);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[0], "missions.m1.wall 100,200");
    EXPECT_NEAR(m_field.items().front()->angle(), 1.5707963f, 1e-5f) << "degrees become radians";
    EXPECT_EQ(std::vector<std::string>(items.begin() + 1, items.begin() + 7),
              (std::vector<std::string>{"missions.m1.grid 300,300", "missions.m1.grid 300,350",
                                        "missions.m1.grid 300,400", "missions.m1.grid 340,300",
                                        "missions.m1.grid 340,350", "missions.m1.grid 340,400"}));
    EXPECT_EQ(items[7], "items.a 630,100");
    EXPECT_THAT(items[8], testing::AnyOf("items.a 660,100", "items.b 660,100")) << "a code of 1 draws from the bank";
    EXPECT_EQ(items[9], "items.b 660,130");
}

TEST_F(FieldLoad, ScatteringsTakeTheBankInOrderOrDrawnEvenly)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            once <vimoes> { rect [((500, 500), (100, 50))] bank [{ a b c }] }
            twice <vimoes> { rect [((0, 0), (10, 10))] bank [{ a b c }] count 6 }
            empty <vimoes> { rect [((0, 0), (10, 10))] bank [{ }] count 6 }
        } }
    )");
    random_seed(7);
    std::vector<float> expected;
    for (int i = 0; i < 3; ++i) {
        const float y = 500 + float(random_next()) * 50 / 32768;
        const float x = 500 + float(random_next()) * 100 / 32768;
        random_next();
        expected.push_back(x);
        expected.push_back(y);
    }
    random_seed(7);
    m_field.read_skin(SkinPath("missions.m1"));

    std::map<std::string, int> names;
    int index = 0;
    for (const SharedPtr<Item>& item : m_field.items()) {
        if (index < 3) {
            EXPECT_EQ(item->skin_path().text(), std::string("items.") + char('a' + index));
            EXPECT_NEAR(item->position().x, expected[2 * index], 1e-3f);
            EXPECT_NEAR(item->position().y, expected[2 * index + 1], 1e-3f);
        } else {
            ++names[item->skin_path().text()];
        }
        ++index;
    }
    EXPECT_EQ(index, 9);
    EXPECT_EQ(names, (std::map<std::string, int>{{"items.a", 2}, {"items.b", 2}, {"items.c", 2}}));
}

TEST_F(FieldLoad, BonusesAreDrawnByProbabilityOncePerRun)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            bonuses {
                vimoes_per_bonus 5
                magnetic <bonus> : bonus_keys { probability 100 }
                spirit <bonus> : bonus_keys { probability 50 }
                treasure <bonus> : bonus_keys { present false }
                explode <bonus> : bonus_keys { probability 0 }
            }
        } }
    )");
    m_field.read_skin(SkinPath("missions.m1"));
    random_seed(4);
    std::map<int, int> drawn;
    for (int i = 0; i < 300; ++i)
        ++drawn[m_field.draw_bonus()];
    EXPECT_EQ(drawn, (std::map<int, int>{{int(Bonus::magnetic), 200}, {int(Bonus::spirit), 100}}));

    for (int run = 0; run < 20; ++run) {
        int bonuses = 0;
        for (int i = 0; i < 5; ++i)
            bonuses += m_field.next_bonus() != -1;
        EXPECT_EQ(bonuses, 1) << "run " << run;
    }

    test::LogCapture log;
    EXPECT_EQ(m_field.bonus_settings(Bonus::accuracy), nullptr);
    EXPECT_THAT(log.text("error"), HasSubstr("\nUnreachable point reached.\n"));
}

TEST_F(FieldLoad, DataThatWouldDivideByZeroIsRefusedAndLogged)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            bonuses { vimoes_per_bonus 0 }
            pic <picture> { start_position [(0, 0)] step 30 row 0 vimus [{ 1 1 }] bank [{ a }] }
        } }
    )");
    test::LogCapture log;
    m_field.read_skin(SkinPath("missions.m1"));
    EXPECT_EQ(m_field.vimoes_per_bonus(), 1);
    EXPECT_THAT(log.text("error"), HasSubstr("[missions.m1.bonuses.vimoes_per_bonus]"));
    EXPECT_THAT(log.text("error"), HasSubstr("[missions.m1.pic.row]"));
    EXPECT_TRUE(m_field.items().empty());
    EXPECT_EQ(m_field.next_bonus(), -1) << "no bonus settings: nothing to draw, and no division by zero";
}

TEST_F(FieldLoad, AMissingKeyStopsTheLoadKeepingWhatWasBuilt)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            wall <item> "class kq::Item" : item_keys { position [(100, 200)] angle 0 }
            grid <array> "class kq::Item" : item_keys { angle 0 array_position [(0, 0)] array_step [(1, 1)] }
        } }
    )");
    EXPECT_THAT(error_of([&] { m_field.read_skin(SkinPath("missions.m1")); }),
                HasSubstr("node not found [missions.m1.grid.array_size]"));
    EXPECT_EQ(m_field.items().size(), 1u);
    EXPECT_EQ(m_field.meter(), 70);
}

TEST_F(FieldLoad, BonusCountsGrowAndExpireByTheirEnd)
{
    auto skin = mission_skin(R"(
        missions { m1 : mission_keys {
            initial_bonuses [{ slipperiness, 0 magnetic, 1 }]
            bonuses {
                magnetic <bonus> : bonus_keys { end_type on_shot }
                spirit <bonus> : bonus_keys { end_type on_shot }
                accuracy <bonus> : bonus_keys { end_type on_turn }
            }
        } }
    )");
    m_field.read_skin(SkinPath("missions.m1"));
    m_field.add_bonus_count(Bonus::slipperiness, 3);
    m_field.add_bonus_count(Bonus::magnetic, 1);
    m_field.add_bonus_count(Bonus::spirit, 1);
    m_field.add_bonus_count(Bonus::accuracy, 2);
    m_field.add_bonus_count(Bonus::explode, 1);
    using Counts = std::map<Bonus, int>;
    EXPECT_EQ(m_field.initial_bonuses(), (Counts{{Bonus::slipperiness, 0}, {Bonus::magnetic, 2}, {Bonus::spirit, 1},
                                                 {Bonus::accuracy, 2}, {Bonus::explode, 1}}))
        << "a bonus listed with 0 stays off";

    test::LogCapture log;
    m_field.expire_bonuses(BonusEnd::on_shot);
    EXPECT_EQ(m_field.initial_bonuses(),
              (Counts{{Bonus::slipperiness, 0}, {Bonus::magnetic, 1}, {Bonus::accuracy, 2}, {Bonus::explode, 1}}));
    m_field.expire_bonuses(BonusEnd::on_turn);
    m_field.expire_bonuses(BonusEnd::on_shot);
    EXPECT_EQ(m_field.initial_bonuses(), (Counts{{Bonus::slipperiness, 0}, {Bonus::accuracy, 1}, {Bonus::explode, 1}}))
        << "bonuses without settings never expire";
    EXPECT_EQ(log.text("error"), "\n") << "and are no error";
}

}
}
