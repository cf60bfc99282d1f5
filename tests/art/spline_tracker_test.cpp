#include "engine/art/spline_tracker.h"

#include <gtest/gtest.h>

#include "engine/art/spline_cubic.h"
#include "engine/art/spline_linear.h"
#include "spline_test_support.h"

namespace kq {
namespace {

using test::near;
using test::vec;
using Linear = LinearSpline<float, VectorD<float>>;
using Cubic = CubicSpline<float, VectorD<float>>;

TEST(SplineTracker, OneKeyIsAtTheEndAtOnce)
{
    Linear spline;
    spline.set_key(3, vec({7}));
    const auto tracker = spline.create_tracker();
    EXPECT_EQ(tracker->time(), 3);
    EXPECT_TRUE(tracker->at_end());
    for (float t : {-10.0f, 3.0f, 50.0f}) {
        tracker->set_time(t);
        EXPECT_TRUE(near(tracker->value(), {7})) << t;
    }
}

// The place among the keys moves forward only: a time set back after the last key still
// answers the last value, and one set back into an earlier interval continues the current one.
TEST(SplineTracker, StepsForwardOnly)
{
    Linear spline;
    spline.set_key(0, vec({0}));
    spline.set_key(1, vec({10}));
    auto tracker = spline.create_tracker();
    EXPECT_TRUE(near(tracker->value(), {0}));
    EXPECT_FALSE(tracker->at_end());
    tracker->advance(0.5f);
    EXPECT_TRUE(near(tracker->value(), {5}));
    tracker->advance(1);
    EXPECT_FALSE(tracker->at_end());  // not until the value is asked for
    EXPECT_TRUE(near(tracker->value(), {10}));
    EXPECT_TRUE(tracker->at_end());
    tracker->set_time(0.5f);
    EXPECT_TRUE(near(tracker->value(), {10}));

    spline.set_key(2, vec({0}));
    tracker = spline.create_tracker();
    tracker->set_time(1.5f);
    EXPECT_TRUE(near(tracker->value(), {5}));
    tracker->set_time(0.5f);
    EXPECT_TRUE(near(tracker->value(), {15}));  // the line of [1, 2] at u = -0.5
}

// Walking forward in small steps gives what a search at each time gives, for both kinds, also
// after a key is added beyond the tracker's place.
TEST(SplineTracker, AgreesWithTheSplineWhileStepping)
{
    Linear linear;
    Cubic cubic;
    const float times[] = {0, 0.5f, 2, 3};
    const float values[] = {1, -4, 6, 2};
    for (int i = 0; i < 4; ++i) {
        linear.set_key(times[i], vec({values[i], 2 * values[i]}));
        cubic.set_key(times[i], vec({values[i], 2 * values[i]}));
    }
    const Spline<float, VectorD<float>>* splines[] = {&linear, &cubic};
    for (const auto* spline : splines) {
        const auto tracker = spline->create_tracker();
        for (int step = 1; step <= 40; ++step) {
            tracker->advance(0.1f);
            const VectorD<float> expected = spline->value(tracker->time());
            EXPECT_TRUE(near(tracker->value(), {expected[0], expected[1]})) << tracker->time();
        }
        EXPECT_TRUE(tracker->at_end());
    }

    const auto tracker = linear.create_tracker();
    tracker->set_time(2.5f);
    EXPECT_TRUE(near(tracker->value(), {4, 8}));
    linear.set_key(4, vec({10, 20}));
    tracker->set_time(3.5f);
    EXPECT_TRUE(near(tracker->value(), {6, 12}));
}

}
}
