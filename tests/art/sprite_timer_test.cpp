#include "engine/art/sprite_timer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>

#include "art_test_support.h"
#include "engine/base/random.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;
using Cyclic = SpriteTimer::Cyclic;
using Law = SpriteTimer::CoeffLaw;

namespace {

// A timer of period 1000 started at time 0 and advanced to `elapsed`.
SpriteTimer run_to(std::int32_t elapsed, Cyclic cyclic = Cyclic::none, Law law = Law::linear, std::int32_t lead_in = 0)
{
    SpriteTimer timer;
    timer.set_cyclic(cyclic);
    timer.set_coeff_law(law);
    timer.set_lead_in(lead_in);
    timer.advance(0);
    timer.advance(elapsed);
    return timer;
}

}

TEST(SpriteTimer, FreshTimerReportsTheLawAtLocalTimeZero)
{
    const struct Case {
        Law law;
        float expected;
    } cases[] = {
        {Law::linear, 0.0f}, {Law::cos, 0.0f},          {Law::sin, 0.0f},
        {Law::fullsin, 0.5f}, {Law::linear_swing, 0.5f}, {Law::reverse, 1.0f},
    };
    for (const Case& c : cases) {
        SpriteTimer timer;
        timer.set_coeff_law(c.law);
        EXPECT_FALSE(timer.is_started());
        EXPECT_NEAR(timer.coefficient(), c.expected, 1e-6f) << static_cast<int>(c.law);
        EXPECT_EQ(timer.local_time(), 0);
    }
}

TEST(SpriteTimer, LawsShapeThePhase)
{
    const struct Case {
        Law law;
        std::int32_t elapsed;
        float expected;
    } cases[] = {
        {Law::linear, 250, 0.25f},      {Law::cos, 500, 0.5f},           {Law::cos, 250, 0.1464466f},
        {Law::sin, 500, 0.7071068f},    {Law::sin, 1000, 1.0f},          {Law::fullsin, 250, 1.0f},
        {Law::fullsin, 750, 0.0f},      {Law::fullsin, 1000, 0.5f},      {Law::reverse, 250, 0.75f},
        {Law::linear_swing, 250, 1.0f}, {Law::linear_swing, 750, 0.0f},  {Law::linear_swing, 1000, 0.5f},
        {Law::linear_swing, 500, 0.5f}, {static_cast<Law>(42), 300, 0.3f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(run_to(c.elapsed, Cyclic::none, c.law).coefficient(), c.expected, 1e-5f)
            << static_cast<int>(c.law) << " at " << c.elapsed;
}

TEST(SpriteTimer, CyclicModesFoldTheElapsedTime)
{
    const struct Case {
        Cyclic cyclic;
        std::int32_t elapsed;
        std::int32_t local;
    } cases[] = {
        {Cyclic::none, 2500, 2500},    {Cyclic::loop, 2500, 500},      {Cyclic::loop, 1000, 0},
        {Cyclic::loop, 999, 999},      {Cyclic::pingpong, 1500, 500},  {Cyclic::pingpong, 1250, 750},
        {Cyclic::pingpong, 500, 500},  {Cyclic::pingpong, 1000, 1000}, {Cyclic::pingpong, 2000, 0},
    };
    for (const Case& c : cases) {
        const SpriteTimer timer = run_to(c.elapsed, c.cyclic);
        EXPECT_EQ(timer.local_time(), c.local) << static_cast<int>(c.cyclic) << " at " << c.elapsed;
        EXPECT_EQ(timer.elapsed(), c.elapsed);
    }
    EXPECT_NEAR(run_to(2500, Cyclic::loop).coefficient(), 0.5f, 1e-6f);
}

TEST(SpriteTimer, OnlyASingleRunFinishesOncePastItsLength)
{
    const struct Case {
        Cyclic cyclic;
        std::int32_t elapsed;
        bool finished;
    } cases[] = {
        {Cyclic::none, 999, false}, {Cyclic::none, 1000, false}, {Cyclic::none, 1001, true},
        {Cyclic::loop, 5001, false}, {Cyclic::pingpong, 5001, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run_to(c.elapsed, c.cyclic).is_finished(), c.finished)
            << static_cast<int>(c.cyclic) << " at " << c.elapsed;
    EXPECT_FLOAT_EQ(run_to(1500).coefficient(), 1.0f);
    EXPECT_FLOAT_EQ(run_to(1500, Cyclic::none, Law::reverse).coefficient(), 0.0f);
    EXPECT_FALSE(SpriteTimer().is_finished());
}

TEST(SpriteTimer, LeadInHoldsThePhaseAtZero)
{
    const struct Case {
        std::int32_t elapsed;
        float expected;
    } cases[] = {{0, 0.0f}, {300, 0.0f}, {650, 0.5f}, {1000, 1.0f}};
    for (const Case& c : cases)
        EXPECT_NEAR(run_to(c.elapsed, Cyclic::none, Law::linear, 300).coefficient(), c.expected, 1e-6f) << c.elapsed;
    EXPECT_NEAR(run_to(100, Cyclic::none, Law::reverse, 300).coefficient(), 1.0f, 1e-6f);
}

TEST(SpriteTimer, CycleNoLongerThanItsLeadInIsCompleteNotUndefined)
{
    const struct Case {
        std::int32_t period;
        std::int32_t lead_in;
        std::int32_t local;
    } cases[] = {{1000, 1000, 1000}, {1000, 1000, 0}, {1000, 1500, 200}, {0, 0, 0}, {1, 1, 1}};
    for (const Case& c : cases) {
        SpriteTimer timer;
        timer.set_period(c.period);
        timer.set_lead_in(c.lead_in);
        const float value = timer.progress(c.local);
        EXPECT_FALSE(std::isnan(value)) << c.period << "/" << c.lead_in;
        EXPECT_FLOAT_EQ(value, 1.0f) << c.period << "/" << c.lead_in;
    }
    SpriteTimer fresh;
    fresh.set_period(0);
    EXPECT_FLOAT_EQ(fresh.coefficient(), 1.0f);
}

TEST(SpriteTimer, SpreadVariesTheRunLengthPerRun)
{
    random_seed(7);
    SpriteTimer timer;
    timer.set_period_spread(200);
    std::set<std::int32_t> lengths;
    for (int run = 0; run < 200; ++run) {
        timer.reset();
        timer.advance(10);
        EXPECT_GE(timer.run_length(), 900);
        EXPECT_LT(timer.run_length(), 1100);
        lengths.insert(timer.run_length());
    }
    EXPECT_GT(lengths.size(), 50u);

    const struct Case {
        std::int32_t period;
        std::int32_t spread;
        std::int32_t length;
    } exact[] = {{1000, 0, 1000}, {0, 0, 1}, {-50, 0, 1}};
    for (const Case& c : exact) {
        SpriteTimer plain;
        plain.set_period(c.period);
        plain.set_period_spread(c.spread);
        plain.advance(0);
        EXPECT_EQ(plain.run_length(), c.length) << c.period;
        EXPECT_EQ(plain.duration(), c.length);
    }
}

TEST(SpriteTimer, LargeSpreadsAndRandomStartsComputeWithoutOverflow)
{
    // r × period and r × spread exceed 32 bits for any r above 2 here.
    const std::int32_t period = 1'000'000'000;
    const std::int32_t spread = 1'000'000'000;
    random_seed(11);
    const std::int64_t r1 = random_next();
    const std::int64_t r2 = random_next();
    ASSERT_GT(r1, 2);
    ASSERT_GT(r2, 2);

    random_seed(11);
    SpriteTimer timer;
    timer.set_period(period);
    timer.set_period_spread(spread);
    timer.set_random_start(true);
    timer.advance(2'000'000'000);
    EXPECT_EQ(timer.run_length(), period + r1 * spread / 32768 - spread / 2);
    EXPECT_EQ(timer.elapsed(), r2 * period / 32768);
}

TEST(SpriteTimer, RandomStartBeginsTheRunInThePast)
{
    random_seed(3);
    std::set<std::int32_t> offsets;
    for (int run = 0; run < 100; ++run) {
        SpriteTimer timer;
        timer.set_random_start(true);
        timer.advance(0);
        EXPECT_TRUE(timer.is_started());
        EXPECT_GE(timer.elapsed(), 0);
        EXPECT_LE(timer.elapsed(), 999);
        EXPECT_EQ(timer.step(), timer.elapsed());
        offsets.insert(timer.elapsed());
    }
    EXPECT_GT(offsets.size(), 50u);
    // A run that starts at -1 in the past of time 0 is started all the same.
    random_seed(3);
    SpriteTimer early;
    early.set_period(2);
    early.set_random_start(true);
    for (int run = 0; run < 40; ++run) {
        early.reset();
        early.advance(0);
        ASSERT_TRUE(early.is_started());
        early.advance(1);
        EXPECT_EQ(early.step(), 1);
    }
}

TEST(SpriteTimer, RandomLawDrawsAtEveryAdvance)
{
    random_seed(5);
    SpriteTimer timer;
    timer.set_coeff_law(Law::random);
    std::set<float> values;
    for (int time = 0; time < 50; ++time) {
        timer.advance(time);
        EXPECT_GE(timer.coefficient(), 0.0f);
        EXPECT_LT(timer.coefficient(), 1.0f);
        values.insert(timer.coefficient());
    }
    EXPECT_GT(values.size(), 40u);
}

TEST(SpriteTimer, QueriesFollowTheAdvances)
{
    SpriteTimer timer;
    EXPECT_EQ(timer.current_time(), 0);
    EXPECT_EQ(timer.elapsed(), 0);
    EXPECT_EQ(timer.step(), 0);
    timer.advance(100);
    timer.advance(130);
    timer.advance(180);
    EXPECT_EQ(timer.current_time(), 180);
    EXPECT_EQ(timer.elapsed(), 80);
    EXPECT_EQ(timer.step(), 50);
    timer.reset();
    EXPECT_FALSE(timer.is_started());
    EXPECT_EQ(timer.run_length(), -1);
    EXPECT_EQ(timer.duration(), 1000);
}

TEST(SpriteTimer, ParameterTimerTakesItsParameterAtReset)
{
    LogicHolder owner;
    owner.m_logic = new SpriteLogic;
    owner.m_logic->parameters().push_back({4, StrCache("fill"), 250});

    SpriteTimer timer;
    timer.set_parameter(4);
    timer.set_owner(&owner);
    timer.reset();
    ASSERT_TRUE(timer.is_started());
    EXPECT_EQ(timer.local_time(), 250);
    EXPECT_EQ(timer.step(), 250);
    EXPECT_NEAR(timer.coefficient(), 0.25f, 1e-6f);

    timer.set_parameter(5);
    timer.reset();
    EXPECT_FALSE(timer.is_started());
    timer.set_parameter(4);
    timer.set_owner(nullptr);
    timer.reset();
    EXPECT_FALSE(timer.is_started());
}

TEST(SpriteTimer, BinaryFormRoundTripsTheSettings)
{
    SpriteTimer timer;
    timer.set_period(640);
    timer.set_cyclic(Cyclic::pingpong);
    timer.set_coeff_law(Law::fullsin);
    timer.set_random_start(true);
    timer.set_period_spread(30);
    timer.set_lead_in(20);
    timer.set_parameter(9);
    timer.advance(100);
    const std::string bytes = own_bytes(timer);
    EXPECT_EQ(bytes, u8(3) + le32(640) + le32(2) + le32(3) + u8(1) + le32(30) + le32(20) + le32(9));

    SpriteTimer read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.period(), 640);
    EXPECT_EQ(read.cyclic(), Cyclic::pingpong);
    EXPECT_EQ(read.coeff_law(), Law::fullsin);
    EXPECT_TRUE(read.random_start());
    EXPECT_EQ(read.period_spread(), 30);
    EXPECT_EQ(read.lead_in(), 20);
    EXPECT_EQ(read.parameter(), 9);
    EXPECT_FALSE(read.is_started());
}

TEST(SpriteTimer, OlderVersionsLeaveLaterFieldsAlone)
{
    const std::string v0 = u8(0) + le32(500) + le32(1) + le32(5) + u8(0);
    const struct Case {
        std::string bytes;
        std::int32_t spread, lead_in, parameter;
    } cases[] = {
        {v0, 77, 88, 99},
        {u8(1) + v0.substr(1) + le32(10), 10, 88, 99},
        {u8(2) + v0.substr(1) + le32(10) + le32(20), 10, 20, 99},
    };
    for (const Case& c : cases) {
        SpriteTimer timer;
        timer.set_period_spread(77);
        timer.set_lead_in(88);
        timer.set_parameter(99);
        load_bytes(timer, c.bytes);
        EXPECT_EQ(timer.period(), 500);
        EXPECT_EQ(timer.cyclic(), Cyclic::loop);
        EXPECT_EQ(timer.coeff_law(), Law::reverse);
        EXPECT_EQ(timer.period_spread(), c.spread);
        EXPECT_EQ(timer.lead_in(), c.lead_in);
        EXPECT_EQ(timer.parameter(), c.parameter);
    }
}

TEST(SpriteTimer, DamagedBinaryFormsAreStreamErrors)
{
    const std::string whole = own_bytes(SpriteTimer());
    SpriteTimer timer;
    EXPECT_THAT(error_of([&] { load_bytes(timer, u8(4) + whole.substr(1)); }), HasSubstr("unsupported version."));
    for (std::size_t length : {0u, 1u, 4u, 13u, 14u, 21u, 25u})
        EXPECT_THAT(error_of([&] { load_bytes(timer, whole.substr(0, length)); }), HasSubstr("unexpected end of buffer."))
            << length;
}

TEST(SpriteTimer, SkinFormReadsEveryKey)
{
    TestSkinEnvironment skin(R"(
        t { parameter 3 period 400 cyclic pingpong coeff_law linear_swing random_start true period_spread 60 }
        missing { parameter -1 period 400 cyclic loop coeff_law sin random_start false }
        bad { parameter -1 period 400 cyclic sideways coeff_law sin random_start false period_spread 0 }
    )");
    SpriteTimer timer;
    timer.read_skin(SkinPath("t"));
    EXPECT_EQ(timer.parameter(), 3);
    EXPECT_EQ(timer.period(), 400);
    EXPECT_EQ(timer.cyclic(), Cyclic::pingpong);
    EXPECT_EQ(timer.coeff_law(), Law::linear_swing);
    EXPECT_TRUE(timer.random_start());
    EXPECT_EQ(timer.period_spread(), 60);

    EXPECT_THAT(error_of([&] { timer.read_skin(SkinPath("missing")); }), HasSubstr("node not found [missing.period_spread]"));
    EXPECT_THAT(error_of([&] { timer.read_skin(SkinPath("bad")); }),
                HasSubstr("enum string interpretation [sideways] unregistered."));
}

}
