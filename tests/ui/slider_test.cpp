#include "engine/ui/slider.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/ui/control_initer.h"
#include "widget_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

const char* const slider_nodes = R"(
    pin_look : control_defaults { sx 10 sy 10 x_snap center y_snap center }
    slider : control_defaults { x 100 y 100 sx 200 sy 20 min_value 0 max_value 100 direction horizontal border 16
        pin : pin_look {} }
    upright : slider { sx 20 sy 200 direction vertical }
    walled : slider { border 100 }
    overwalled : slider { border 150 }
    single : slider { min_value 5 max_value 5 }
)";

class SliderTest : public WidgetTest
{
protected:
    SliderTest() : WidgetTest(slider_nodes) {}

    /// Records every value signal of the slider.
    void listen(Slider& slider)
    {
        slider.on_value().connect([this](bool final) { m_signals.push_back(final); }, this);
    }

    std::vector<bool> m_signals;
};

struct PlacedSlider : Slider
{
    explicit PlacedSlider(const char* node) { set_up(CIIndependent(SkinPath(node))); }
    ~PlacedSlider() override { detach(); }
};

TEST_F(SliderTest, ThePinShowsTheValueFromTheSlidersCentre)
{
    struct Case
    {
        const char* node;
        int value;
        Vector2<int> point;
        Vector2<int> pin_offset;
        Vector2<int> pin_position;
    };
    const Case cases[] = {
        {"slider", 50, {100, 0}, {0, 0}, {95, 5}},
        {"slider", 0, {16, 0}, {-84, 0}, {11, 5}},
        {"slider", 100, {184, 0}, {84, 0}, {179, 5}},
        {"slider", 33, {71, 0}, {-29, 0}, {66, 5}},
        {"upright", 25, {0, 58}, {0, -42}, {5, 53}},
        {"single", 5, {16, 0}, {-84, 0}, {11, 5}},
        {"overwalled", 50, {100, 0}, {0, 0}, {95, 5}},
    };
    for (const Case& c : cases) {
        PlacedSlider slider(c.node);
        Control::attach_to_parent(&slider, &root());
        slider.set_value(c.value);
        EXPECT_EQ(slider.value_to_point(), c.point) << c.node << " " << c.value;
        EXPECT_EQ(slider.pin().offset(), c.pin_offset) << c.node << " " << c.value;
        EXPECT_EQ(slider.pin().position(), c.pin_position) << c.node << " " << c.value;
    }
}

TEST_F(SliderTest, APointSetsTheValueByTruncationAndReportsEveryComputedChange)
{
    struct Case
    {
        const char* what;
        const char* node;
        int start;
        int x;
        int value;
        std::vector<bool> signals;
    };
    const Case cases[] = {
        {"the middle", "slider", 0, 100, 50, {true}},
        {"the first border", "slider", 50, 16, 0, {true}},
        {"less than a step left of the border", "slider", 50, 15, 0, {true}},
        {"less than a step left, at the minimum", "slider", 0, 15, 0, {}},
        {"further left: clamped, still reported", "slider", 0, 10, 0, {true}},
        {"past the end", "slider", 100, 300, 100, {true}},
        {"truncated toward zero", "slider", 0, 150, 79, {true}},
        {"a track as long as its borders", "walled", 70, 150, 0, {true}},
        {"a track as long as its borders, at the minimum", "walled", 0, 150, 0, {}},
        {"borders longer than the track", "overwalled", 70, 10, 0, {true}},
        {"an empty range", "single", 5, 150, 5, {}},
    };
    for (const Case& c : cases) {
        PlacedSlider slider(c.node);
        slider.set_value(c.start);
        m_signals.clear();
        listen(slider);
        slider.set_value_from_point({c.x, 10});
        EXPECT_EQ(slider.value(), c.value) << c.what;
        EXPECT_EQ(m_signals, c.signals) << c.what << ": a slider outside the UI reports final changes";
        slider.on_value().disconnect(this);
    }
}

TEST_F(SliderTest, DraggingThePinReportsEachChangeAndTheReleaseOnce)
{
    PlacedSlider slider("slider");
    Control::attach_to_parent(&slider, &root());
    slider.set_value(50);
    listen(slider);

    move_to({200, 110});  // on the pin at 195..204
    ASSERT_EQ(ui().hovered(), &slider.pin());
    press();
    EXPECT_EQ(ui().capture(), &slider.pin());
    move_to({250, 110});
    EXPECT_EQ(slider.value(), 79);
    move_to({400, 110});
    move_to({410, 110});
    move_to({420, 500});
    EXPECT_EQ(slider.value(), 100);
    release();
    EXPECT_THAT(m_signals, ElementsAre(false, false, false, false, true))
        << "beyond the end each movement computes a new value; the release is final";
    EXPECT_EQ(ui().capture(), nullptr);
    EXPECT_EQ(slider.pin().offset(), (Vector2<int>{84, 0}));
}

TEST_F(SliderTest, AClickOnTheTrackMovesTheValueInTheNextStep)
{
    PlacedSlider slider("slider");
    Control::attach_to_parent(&slider, &root());
    slider.set_value(50);
    listen(slider);

    click_at({140, 110});
    EXPECT_EQ(slider.value(), 50) << "not inside the click";
    run_deferred_handlers();
    EXPECT_EQ(slider.value(), 14);
    EXPECT_THAT(m_signals, ElementsAre(true));
}

TEST_F(SliderTest, ValuesSetFromCodeAreClampedAndNeverReported)
{
    PlacedSlider slider("slider");
    listen(slider);
    EXPECT_EQ(slider.value(), 0) << "the skin puts the value at the minimum";
    slider.set_value(250);
    EXPECT_EQ(slider.value(), 100);
    slider.set_value(-3);
    EXPECT_EQ(slider.value(), 0);
    slider.set_value(60);
    slider.set_max_value(100);
    EXPECT_EQ(slider.value(), 60) << "the same range changes nothing";
    slider.set_max_value(40);
    EXPECT_EQ(slider.value(), 40);
    EXPECT_EQ(slider.min_value(), 0);
    slider.set_max_value(0);
    EXPECT_EQ(slider.value(), 0);
    EXPECT_EQ(slider.value_to_point(), (Vector2<int>{16, 0})) << "an empty range shows at the track's start";
    EXPECT_TRUE(m_signals.empty());
}

}
}
