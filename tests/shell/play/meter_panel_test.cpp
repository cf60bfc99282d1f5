#include "game/shell/play/meter_panel.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/ui/control_initer.h"
#include "tests/field/vimu_fixture.h"
#include "tests/platform/recording_artist.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {
namespace {

// The first mission's meter: 300000 of 600000.
class MeterPanelTest : public PanelTest
{
protected:
    MeterPanelTest() : field(first_mission())
    {
        left.set_up(CIIndependent(SkinPath("panels.left_meter")));
        right.set_up(CIIndependent(SkinPath("panels.right_meter")));
        Control::attach_to_parent(&left, &root());
        Control::attach_to_parent(&right, &root());
        draw_frame();  // the frames from here on take 10 ms
    }
    ~MeterPanelTest() override
    {
        left.detach();
        right.detach();
    }

    static int children_of(Sprite& layer)
    {
        int count = 0;
        layer.for_each_child([&count](Sprite*) { ++count; }, false);
        return count;
    }

    std::unique_ptr<Field> field;
    MeterPanel left;
    MeterPanel right;
};

TEST_F(MeterPanelTest, TheGaugeCatchesUpWithTheMeterWithoutPassingIt)
{
    left.set_field(field.get());
    EXPECT_EQ(left.target(), 300000);
    EXPECT_EQ(left.shown(), 0) << "a new gauge rises from where it stands";
    draw_frame(10);
    EXPECT_EQ(left.shown(), 30000) << "a tenth of the way in a 10 ms frame";
    for (int frame = 0; frame < 200 && left.shown() != left.target(); ++frame) {
        const int before = left.shown();
        draw_frame(10);
        EXPECT_GE(left.shown() - before, std::min(600, 300000 - before)) << "at least 600 a frame";
        EXPECT_LE(left.shown(), 300000);
    }
    EXPECT_EQ(left.shown(), 300000);

    field->add_meter(-50);
    EXPECT_EQ(left.target(), 299950) << "the meter's change is taken at once";
    draw_frame(10);
    EXPECT_EQ(left.shown(), 299950) << "a difference of 50 closes in one frame";
}

TEST_F(MeterPanelTest, TheLevelLineCutsBothImagesAtTheSameRow)
{
    left.set_field(field.get());
    field->add_meter(300000);  // full: 600000
    for (int frame = 0; frame < 200 && left.shown() != left.target(); ++frame)
        draw_frame(10);
    ASSERT_EQ(left.shown(), 600000);
    EXPECT_EQ(left.level_line(), 79);
    EXPECT_EQ(left.full_image().position().y, 79.0f);
    EXPECT_EQ(left.full_image().size(), (Vector2<float>{24, 274}));
    EXPECT_EQ(left.full_image().tbegin(), (Vector2<int>{0, 79}));
    EXPECT_EQ(left.empty_image().size(), (Vector2<float>{24, 0}));

    field->add_meter(-600000);
    for (int frame = 0; frame < 200 && left.shown() != left.target(); ++frame)
        draw_frame(10);
    EXPECT_EQ(left.level_line(), 353);
    EXPECT_EQ(left.full_image().size(), (Vector2<float>{24, 0}));
    EXPECT_EQ(left.empty_image().size(), (Vector2<float>{24, 274}));
}

TEST_F(MeterPanelTest, EachMeterTellsTheFieldItsOwnPointOnly)
{
    left.set_field(field.get());
    draw_frame(10);
    // The gauge's middle column, at the level line, in the screen's coordinates.
    const Vector2<float> left_point{12 + 12, float(200 + left.level_line())};
    EXPECT_EQ(field->dust_target({0, 0}), left_point);
    EXPECT_EQ(field->dust_target({1000, 0}), (Vector2<float>{0, 0})) << "the right point is untouched";

    right.set_field(field.get());
    draw_frame(10);
    EXPECT_EQ(field->dust_target({1000, 0}), (Vector2<float>{976 + 24, float(200 + right.level_line())}));
}

TEST_F(MeterPanelTest, TheEyesWatchTheFieldWhileTheMeterIsNotEmpty)
{
    left.set_field(field.get());
    ASSERT_NE(left.eye(0), nullptr);
    EXPECT_EQ(left.eye(0)->parent(), &field->effect_layer());
    EXPECT_EQ(left.eye(1)->parent(), &field->effect_layer());
    draw_frame();
    EXPECT_EQ(left.eye(0)->hidden(), 0);
    field->add_meter(-300000);  // empty: the field is in danger
    draw_frame();
    EXPECT_EQ(left.eye(0)->hidden(), 1);
    EXPECT_EQ(left.eye(1)->hidden(), 1);
    left.eye(1)->close();
    field->add_meter(400000);
    draw_frame();
    EXPECT_EQ(left.eye(0)->hidden(), 0);
    EXPECT_EQ(left.eye(1)->hidden(), 2) << "a closed eye is left alone";
}

TEST_F(MeterPanelTest, AtMostOneOverloadEffectStartsPer500MsOfFieldTime)
{
    left.set_field(field.get());
    Sprite& layer = field->effect_layer();
    const int before = children_of(layer);
    const auto overload_at = [&](int field_ms) {
        while (field->field_time() < field_ms)
            field->update(10);
        field->add_meter(400000);  // spills well over the maximum
        return children_of(layer) - before;
    };
    EXPECT_EQ(overload_at(0), 1);
    EXPECT_EQ(overload_at(300), 1) << "300 ms after the first";
    EXPECT_EQ(overload_at(600), 2) << "600 ms after the first";
}

TEST_F(MeterPanelTest, AFieldThatGoesIsForgottenAndTakesNoEyesAlong)
{
    left.set_field(field.get());
    field.reset();
    EXPECT_EQ(left.field(), nullptr);
    draw_frame();
    EXPECT_EQ(left.level_line(), 353);
    EXPECT_EQ(left.eye(0)->parent(), nullptr);

    std::unique_ptr<Field> next = first_mission();
    left.set_field(next.get());
    EXPECT_EQ(left.eye(0)->parent(), &next->effect_layer());
    left.set_field(nullptr);
    EXPECT_EQ(left.eye(0)->parent(), nullptr) << "the eyes leave with the field";
}

// A meter over a field whose maximum is 0, and with an overload effect that names nothing.
const char* const zero_missions = R"( zero : mission_keys { max_meter 0 start_meter 0 } )";
const char* const meter_skin = R"(
    control_keys { x 0 y 0 z 0 sx 48 sy 380 x_snap left y_snap top sx_snap absolute
        sy_snap absolute z_snap normal hidden false disabled false transparency none
        dblclicks false hw_cursor "" sw_cursor "" sprite "" }
    meter : control_keys {
        full : image_keys { size [(24, 353)] } empty : image_keys { position [(0, 79)] size [(24, 274)] }
        overload_effect_position [(0, 0)] overload_effect_name "nowhere.at.all" left_side true
        eye1 "class kq::ImageSprite" : image_keys { } eye2 "class kq::ImageSprite" : image_keys { }
    }
    no_eyes : meter { eye2 "" }
)";

TEST(MeterPanelSkin, AZeroMaximumDrawsAnEmptyGaugeAndAnEffectOfNothingStillCounts)
{
    PieceField setup({}, zero_missions, "zero", meter_skin);
    MeterPanel panel;
    panel.set_up(CIIndependent(SkinPath("meter")));
    panel.set_field(&setup.field);
    RecordingArtist recorder;
    recorder.begin_scene();
    panel.draw(recorder);
    recorder.end_scene();
    EXPECT_EQ(panel.level_line(), 353) << "no division by the zero maximum";

    panel.show_overload();
    setup.run(300);
    EXPECT_NO_THROW(panel.show_overload());
    EXPECT_EQ(setup.field.effect_layer().children().size(), 2u) << "the two eyes, no effect";
}

TEST(MeterPanelSkin, AMissingEyeIsASkinErrorNamingItsNode)
{
    PieceField setup({}, zero_missions, "zero", meter_skin);
    MeterPanel panel;
    EXPECT_EQ(error_of([&] { panel.set_up(CIIndependent(SkinPath("no_eyes"))); }),
              "(in service [skin]) node [no_eyes.eye2] describes no eye sprite");
}

}
}
