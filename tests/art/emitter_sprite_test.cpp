#include "engine/art/emitter_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "art_test_support.h"
#include "engine/art/motion_controllers.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

// An emitter under a root that holds the clock; the root receives the particles. The clock
// is the time stamps the test hands the root; the generator is seeded.
class EmitterTest : public testing::Test
{
protected:
    EmitterTest()
    {
        random_seed(1);
        m_root->set_timer(new SpriteTimer);
        m_root->add_child(m_emitter);
        m_emitter->set_particle(SharedPtr<Sprite>(new Sprite));
    }

    // Advances the clock by `ms` and updates the tree.
    void step(std::int32_t ms, Sprite* receiver = nullptr)
    {
        m_time += ms;
        m_root->tick(TimeStamp{TimeStamp::millisecond_clock, m_time, receiver});
    }

    // The children of `parent` other than the emitter.
    std::vector<Sprite*> particles_in(Sprite& parent)
    {
        std::vector<Sprite*> found;
        parent.for_each_child(
            [this, &found](Sprite* child) {
                if (child != m_emitter.get())
                    found.push_back(child);
            },
            false);
        return found;
    }
    std::vector<Sprite*> particles() { return particles_in(*m_root); }

    SharedPtr<Sprite> m_root{new Sprite};
    SharedPtr<EmitterSprite> m_emitter{new EmitterSprite};
    std::int32_t m_time = 0;
};

TEST_F(EmitterTest, PendingTimeBecomesOneParticlePerInterval)
{
    m_emitter->set_emission(10);
    step(0);
    // A steady 40 ms step at 100 000 µs an interval.
    struct Update {
        std::int64_t pending;
        std::size_t particles;
    };
    const Update updates[] = {{40000, 0}, {80000, 0}, {20000, 1}, {60000, 1}, {0, 2}, {40000, 2}};
    for (const Update& u : updates) {
        step(40);
        EXPECT_EQ(m_emitter->pending(), u.pending) << m_time;
        EXPECT_EQ(particles().size(), u.particles) << m_time;
    }
    // A long pause counts as 100 ms: one particle, whatever the pause.
    step(5000);
    EXPECT_EQ(particles().size(), 3u);
    EXPECT_EQ(m_emitter->pending(), 40000);
    // Time running back builds no debt.
    step(-200);
    EXPECT_EQ(m_emitter->pending(), 40000);
}

TEST_F(EmitterTest, ARateChangeNeverReleasesStoredTime)
{
    m_emitter->set_emission(10);
    step(0);
    step(90);
    ASSERT_EQ(m_emitter->pending(), 90000);
    m_emitter->set_emission(20);
    EXPECT_EQ(m_emitter->pending(), 50000);
    m_emitter->set_emission(-5);
    EXPECT_EQ(m_emitter->emission(), 0.0f);
    EXPECT_EQ(m_emitter->pending(), 0);
    // Without emission, above a million a second, or without a prototype: nothing.
    for (float rate : {0.0f, 2000000.0f, std::nanf("")}) {
        m_emitter->set_emission(rate);
        step(100);
        EXPECT_TRUE(particles().empty()) << rate;
    }
    m_emitter->set_emission(100);
    m_emitter->set_particle(SharedPtr<Sprite>());
    step(100);
    EXPECT_TRUE(particles().empty());
}

TEST_F(EmitterTest, ALimitedEmitterMakesItsCountPerStart)
{
    m_emitter->set_emission(1000);
    m_emitter->settings().limited = true;
    m_emitter->settings().max_particles = 3;
    step(0);
    step(100);
    step(100);
    EXPECT_EQ(particles().size(), 3u);
    EXPECT_EQ(m_emitter->emitted(), 3);
    // The surplus stays pending; a start clears it and allows three more.
    EXPECT_GE(m_emitter->pending(), 1000);
    m_emitter->start();
    EXPECT_EQ(m_emitter->pending(), 0);
    step(100);
    EXPECT_EQ(particles().size(), 6u);
}

TEST_F(EmitterTest, NothingIsEmittedWithoutATimerOrWhileHidden)
{
    m_emitter->set_emission(100);
    step(0);
    m_root->set_hidden(true);
    step(100);
    m_root->set_hidden(false);
    m_emitter->set_hidden(true);
    step(100);
    EXPECT_TRUE(particles().empty());

    // A tree without a timer anywhere.
    SharedPtr<Sprite> bare(new Sprite);
    SharedPtr<EmitterSprite> emitter(new EmitterSprite);
    emitter->set_particle(SharedPtr<Sprite>(new Sprite));
    emitter->set_emission(100);
    bare->add_child(emitter);
    for (std::int32_t t : {0, 100, 200})
        bare->tick(TimeStamp{TimeStamp::millisecond_clock, t, nullptr});
    EXPECT_EQ(bare->children().size(), 1u);
}

TEST_F(EmitterTest, LaunchVelocityFollowsTheDirection)
{
    m_emitter->set_emission(10);
    m_emitter->set_start_speed(100, 100);
    m_emitter->settings().direction = std::numbers::pi_v<float> / 2;
    m_emitter->settings().limited = true;
    step(0);
    step(100);
    m_emitter->settings().direction_relative = true;
    m_emitter->set_rotation(std::numbers::pi_v<float> / 2);
    m_emitter->start();
    step(100);
    const std::vector<Sprite*> made = particles();
    ASSERT_EQ(made.size(), 2u);
    // Newest first: the two share the prototype's group.
    const Vector2<float> relative = made[0]->find_child<MoveController>()->velocity();
    const Vector2<float> plain = made[1]->find_child<MoveController>()->velocity();
    EXPECT_NEAR(plain.x, 0.0f, 1e-3f);
    EXPECT_NEAR(plain.y, 100.0f, 1e-3f);
    EXPECT_NEAR(relative.x, -100.0f, 1e-3f);
    EXPECT_NEAR(relative.y, 0.0f, 1e-3f);
    // Oriented along the launch angle; transient, so each closes with its own timer.
    EXPECT_FLOAT_EQ(made[1]->rotation(), std::numbers::pi_v<float> / 2);
    EXPECT_TRUE(made[1]->is_transient());
}

TEST_F(EmitterTest, SpinAndAccelerationsAreDrawnFromTheirRanges)
{
    m_emitter->set_emission(100);
    EmitterSettings& s = m_emitter->settings();
    s.gravity_min = 10;
    s.gravity_max = 20;
    s.spin = 2;
    s.spin_spread = 1;
    s.orient_to_direction = false;
    s.orientation = 1;
    s.orientation_spread = 0.5f;
    step(0);
    step(100);
    const std::vector<Sprite*> made = particles();
    ASSERT_EQ(made.size(), 10u);
    for (Sprite* p : made) {
        const float g = p->find_child<MoveController>()->acceleration().y;
        EXPECT_GE(g, 10.0f);
        EXPECT_LT(g, 20.0f);
        const TurnController* turn = p->find_child<TurnController>();
        ASSERT_NE(turn, nullptr);
        EXPECT_GE(turn->speed(), 1.5f);
        EXPECT_LT(turn->speed(), 2.5f);
        // The turn may have moved the particle since its launch, by at most its speed a step.
        EXPECT_GE(p->rotation(), 0.75f - 0.25f);
        EXPECT_LT(p->rotation(), 1.25f + 0.25f);
    }
}

TEST_F(EmitterTest, ParticlesGoToTheNearestAcceptorElseTheRootElseTheStampsReceiver)
{
    SharedPtr<Sprite> middle(new Sprite);
    SharedPtr<Sprite> lower(new Sprite);
    m_root->add_child(middle);
    middle->add_child(lower);
    lower->add_child(m_emitter);
    m_emitter->set_emission(10);
    step(0);
    step(100);
    EXPECT_EQ(particles().size(), 2u);  // the middle sprite and the particle

    middle->set_inherit(0, IF_ACCEPTOR);
    step(100);
    EXPECT_EQ(particles_in(*middle).size(), 2u);  // the lower sprite and the particle

    SharedPtr<Sprite> receiver(new Sprite);
    step(100, receiver.get());
    EXPECT_EQ(receiver->children().size(), 1u);
    EXPECT_EQ(particles_in(*middle).size(), 2u);
}

TEST_F(EmitterTest, EveryChildOfTheCloneBecomesAParticleInModeOne)
{
    // Three parts at offsets from the prototype's place; the last runs a timer of its own.
    SharedPtr<Sprite> prototype(new Sprite);
    auto* shared_timer = new SpriteTimer;
    shared_timer->set_period(1000);
    prototype->set_timer(shared_timer);
    for (int i = 0; i < 3; ++i) {
        SharedPtr<Sprite> part(new Sprite);
        part->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION);
        part->set_position(Vector2<float>{float(i * 100), 5.0f});
        if (i == 2) {
            auto* own = new SpriteTimer;
            own->set_period(300);
            part->set_timer(own);
        }
        prototype->add_child(part);
    }
    m_emitter->set_particle(prototype);
    m_emitter->settings().emission_mode = 1;
    m_emitter->settings().limited = true;
    m_emitter->set_emission(10);
    m_emitter->set_size(Vector2<float>{1, 1});
    m_emitter->set_position(Vector2<float>{50, 60});
    step(0);
    step(100);
    const std::vector<Sprite*> made = particles();
    ASSERT_EQ(made.size(), 3u);
    std::vector<float> xs;
    for (Sprite* p : made) {
        EXPECT_EQ(p->inherit() & IF_TRANSFORMATION, 0u);
        EXPECT_TRUE(p->is_transient());
        ASSERT_NE(p->timer(), nullptr);
        EXPECT_EQ(p->timer()->period(), p->position().x >= 250 ? 300 : 1000);
        EXPECT_NEAR(p->position().y, 65.0f, 1.0f);
        xs.push_back(p->position().x);
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_NEAR(xs[1] - xs[0], 100.0f, 0.5f);
    EXPECT_NEAR(xs[2] - xs[1], 100.0f, 0.5f);
    // The prototype is untouched.
    EXPECT_EQ(prototype->children().size(), 3u);

    // Any other mode launches nothing.
    m_emitter->settings().emission_mode = 2;
    m_emitter->start();
    step(100);
    EXPECT_EQ(particles().size(), 3u);
}

TEST_F(EmitterTest, EdgeOnlyKeepsParticlesNearTheSides)
{
    m_emitter->set_size(Vector2<float>{100, 100});
    m_emitter->settings().edge_only = true;
    m_emitter->settings().edge_width = 16;
    m_emitter->set_emission(2000);
    step(0);
    for (int i = 0; i < 5; ++i)
        step(100);
    const std::vector<Sprite*> made = particles();
    // About a third of the area lies within 8 units of a side.
    EXPECT_GT(made.size(), 100u);
    EXPECT_LT(made.size(), 500u);
    for (Sprite* p : made) {
        const Vector2<float> at = p->position();
        const float nearest = std::min({at.x, at.y, 100.0f - at.x, 100.0f - at.y});
        EXPECT_LE(nearest, 8.0f) << at.x << ", " << at.y;
    }
}

TEST_F(EmitterTest, AnEllipseEmitsOnlyInsideIt)
{
    m_emitter->set_size(Vector2<float>{100, 100});
    m_emitter->set_shape(SpriteShape::ellipse);
    m_emitter->set_emission(1000);
    step(0);
    step(100);
    const std::vector<Sprite*> made = particles();
    EXPECT_GT(made.size(), 60u);
    EXPECT_LT(made.size(), 95u);
    for (Sprite* p : made)
        EXPECT_LE(std::hypot(p->position().x - 50, p->position().y - 50), 50.0f);
}

TEST_F(EmitterTest, ParticlesAreGroupedByTheirPrototypeNewestFirst)
{
    SharedPtr<EmitterSprite> second(new EmitterSprite);
    second->set_particle(SharedPtr<Sprite>(new Sprite));
    second->set_emission(10);
    m_root->add_child(second);
    m_emitter->set_emission(10);
    ASSERT_NE(m_emitter->particle_group(), second->particle_group());
    EXPECT_GT(m_emitter->particle_group(), 0);
    step(0);
    step(100);
    step(100);
    std::vector<std::int32_t> groups;
    std::vector<Sprite*> made;
    for (Sprite* p : particles()) {
        if (p == second.get())
            continue;
        groups.push_back(p->group());
        made.push_back(p);
    }
    const std::int32_t a = m_emitter->particle_group();
    const std::int32_t b = second->particle_group();
    // The second round went in before the first of each prototype.
    EXPECT_THAT(groups, testing::ElementsAre(a, a, b, b));
    EXPECT_EQ(m_root->children().size(), 6u);
    // A new prototype gets a new group.
    m_emitter->set_particle(SharedPtr<Sprite>(new Sprite));
    EXPECT_NE(m_emitter->particle_group(), a);
}

TEST_F(EmitterTest, ParticlesAreAttractedToTheEmitterOrTheTargetSet)
{
    // A target whose point for each index is far to the right.
    class FarPoint : public ParticleTarget
    {
    public:
        std::int32_t next_index() override { return 7; }
        void target_point(std::int32_t index, Vector2<float>& out) override { out = {1000.0f * float(index), 0}; }
    };
    m_emitter->set_emission(10);
    m_emitter->settings().attraction_period = 1000;
    m_emitter->settings().limited = true;
    m_emitter->set_position(Vector2<float>{500, 0});
    m_emitter->set_size(Vector2<float>{1, 1});
    Vector2<float> own;
    m_emitter->target_point(3, own);
    EXPECT_EQ(own, (Vector2<float>{500, 0}));
    auto far = std::make_unique<FarPoint>();
    m_emitter->set_target(far->self());
    step(0);
    step(100);
    ASSERT_EQ(particles().size(), 1u);
    Sprite* drawn = particles()[0];
    const float launched = drawn->position().x;
    // A step of 50 ms covers a twentieth of the distance to the point for index 7.
    step(50);
    EXPECT_NEAR(drawn->position().x - launched, (7000.0f - launched) * 0.05f, 0.01f);
    // Once the target is gone the particle keeps its velocity alone, which is zero here.
    far.reset();
    const float before = drawn->position().x;
    step(50);
    EXPECT_FLOAT_EQ(drawn->position().x, before);
}

TEST_F(EmitterTest, ACopyHasItsOwnPrototypeAndStartsWithNothingPending)
{
    SharedPtr<Sprite> prototype(new Sprite);
    prototype->add_child(SharedPtr<Sprite>(new Sprite));
    m_emitter->set_particle(prototype);
    m_emitter->set_emission(10);
    m_emitter->settings().spin = 3;
    auto target = std::make_unique<EmitterSprite>();
    m_emitter->set_target(target->self());
    step(0);
    step(90);
    ASSERT_EQ(m_emitter->pending(), 90000);

    SharedPtr<EmitterSprite> copy(rtti::clone(m_emitter.get()));
    EXPECT_EQ(copy->pending(), 0);
    EXPECT_EQ(copy->emitted(), 0);
    EXPECT_FALSE(m_emitter->target().expired());
    EXPECT_TRUE(copy->target().expired());
    EXPECT_FLOAT_EQ(copy->settings().spin, 3.0f);
    EXPECT_FLOAT_EQ(copy->emission(), 10.0f);
    ASSERT_NE(copy->particle(), nullptr);
    EXPECT_NE(copy->particle(), prototype.get());
    EXPECT_NE(copy->particle_group(), m_emitter->particle_group());
    copy->particle()->clear_children();
    EXPECT_EQ(prototype->children().size(), 1u);
    // The copy is a target of its own: its cell is new and points at it.
    EXPECT_EQ(*copy->self().lock(), static_cast<ParticleTarget*>(copy.get()));
    EXPECT_EQ(*m_emitter->self().lock(), static_cast<ParticleTarget*>(m_emitter.get()));

    // Under its own root and timer it waits a full interval for its first particle.
    SharedPtr<Sprite> root(new Sprite);
    root->set_timer(new SpriteTimer);
    root->add_child(copy);
    for (std::int32_t t : {0, 50, 99})
        root->tick(TimeStamp{TimeStamp::millisecond_clock, t, nullptr});
    EXPECT_EQ(root->children().size(), 1u);
    root->tick(TimeStamp{TimeStamp::millisecond_clock, 100, nullptr});
    EXPECT_EQ(root->children().size(), 2u);
}

TEST(EmitterForms, BinaryVersionsSkinAndProperties)
{
    EmitterSprite source;
    source.set_emission(25);
    EmitterSettings& s = source.settings();
    s.start_speed_min = 1;
    s.start_speed_max = 2;
    s.gravity_min = 3;
    s.gravity_max = 4;
    s.radial_acceleration_min = 5;
    s.radial_acceleration_max = 6;
    s.tangential_acceleration_min = 7;
    s.tangential_acceleration_max = 8;
    s.attraction_period = 9;
    s.direction = 0.5f;
    s.direction_relative = true;
    s.spread = 0.25f;
    s.orientation = 1.5f;
    s.orientation_spread = 0.75f;
    s.orient_to_direction = false;
    s.spin = 11;
    s.spin_spread = 12;
    s.edge_only = true;
    s.edge_width = 13;
    s.emission_mode = 1;
    s.limited = true;
    s.max_particles = 14;
    source.set_particle(SharedPtr<Sprite>(new Sprite));
    source.particle()->set_position(Vector2<float>{3, 4});
    const std::string bytes = own_bytes(source);

    EmitterSprite read;
    load_bytes(read, bytes);
    const EmitterSettings& r = read.settings();
    EXPECT_FLOAT_EQ(read.emission(), 25);
    EXPECT_EQ(std::vector<float>({r.start_speed_min, r.start_speed_max, r.gravity_min, r.gravity_max,
                                  r.radial_acceleration_min, r.radial_acceleration_max,
                                  r.tangential_acceleration_min, r.tangential_acceleration_max, r.direction,
                                  r.spread, r.orientation, r.orientation_spread, r.spin, r.spin_spread,
                                  r.edge_width}),
              std::vector<float>({1, 2, 3, 4, 5, 6, 7, 8, 0.5f, 0.25f, 1.5f, 0.75f, 11, 12, 13}));
    EXPECT_EQ(r.attraction_period, 9);
    EXPECT_TRUE(r.direction_relative);
    EXPECT_FALSE(r.orient_to_direction);
    EXPECT_TRUE(r.edge_only);
    EXPECT_EQ(r.emission_mode, 1);
    EXPECT_TRUE(r.limited);
    EXPECT_EQ(r.max_particles, 14);
    ASSERT_NE(read.particle(), nullptr);
    EXPECT_EQ(read.particle()->position(), (Vector2<float>{3, 4}));

    // Each older version stops earlier; what it lacks keeps its value.
    struct Older {
        std::uint8_t version;
        std::size_t cut;
        bool edge_only;
        std::int32_t max_particles;
    };
    for (const Older& older : {Older{2, 9, true, 1}, Older{1, 14, false, 1}, Older{0, 31, false, 1}}) {
        EmitterSprite fresh;
        load_bytes(fresh, u8(older.version) + bytes.substr(1, bytes.size() - 1 - older.cut));
        EXPECT_EQ(fresh.settings().edge_only, older.edge_only) << int(older.version);
        EXPECT_EQ(fresh.settings().max_particles, older.max_particles) << int(older.version);
        EXPECT_EQ(fresh.settings().orient_to_direction, older.version < 1) << int(older.version);
        EXPECT_FLOAT_EQ(fresh.settings().gravity_max, 4.0f) << int(older.version);
    }
    EmitterSprite broken;
    EXPECT_THAT(error_of([&] { load_bytes(broken, u8(4) + bytes.substr(1)); }),
                testing::HasSubstr("unsupported version."));
    EXPECT_THAT(error_of([&] { load_bytes(broken, bytes.substr(0, bytes.size() - 2)); }),
                testing::HasSubstr("unexpected end of buffer."));

    TestSkinEnvironment skin(R"(
        sparks "class kq::EmitterSprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(10, 10)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96
            emission 40 start_speed_min 10 start_speed_max 30 gravity_min 1 gravity_max 2
            radial_acceleration_min 3 radial_acceleration_max 4 tangential_acceleration_min 5
            tangential_acceleration_max 6 attraction_period 700 direction 90 direction_relative true
            spread 180 particle ""
        }
    )");
    EmitterSprite sparks;
    sparks.read_skin(SkinPath("sparks"));
    EXPECT_FLOAT_EQ(sparks.emission(), 40);
    EXPECT_FLOAT_EQ(sparks.settings().start_speed_max, 30);
    EXPECT_FLOAT_EQ(sparks.settings().tangential_acceleration_max, 6);
    EXPECT_EQ(sparks.settings().attraction_period, 700);
    EXPECT_NEAR(sparks.settings().direction, std::numbers::pi_v<float> / 2, 1e-5f);
    EXPECT_NEAR(sparks.settings().spread, std::numbers::pi_v<float>, 1e-5f);
    EXPECT_EQ(sparks.particle(), nullptr);

    // A range reads its middle and moves keeping its width; a spread keeps the middle.
    struct Access {
        std::int32_t id;
        float read;
        float written;
        float min_after;
        float max_after;
    };
    const Access accesses[] = {
        {emitter_property_speed, 20, 50, 40, 60},
        {emitter_property_speed_spread, 20, 4, 48, 52},
    };
    for (const Access& a : accesses) {
        float value = 0;
        sparks.property(property_get, a.id, &value);
        EXPECT_FLOAT_EQ(value, a.read) << a.id;
        float written = a.written;
        EXPECT_TRUE(sparks.set_property(a.id, type_name<float>(), 1, &written));
        EXPECT_FLOAT_EQ(sparks.settings().start_speed_min, a.min_after) << a.id;
        EXPECT_FLOAT_EQ(sparks.settings().start_speed_max, a.max_after) << a.id;
    }
    float rate = -1;
    sparks.set_property(emitter_property_emission, type_name<float>(), 1, &rate);
    EXPECT_EQ(sparks.emission(), 0.0f);
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    sparks.property(property_list, all_properties, &append);
    EXPECT_THAT(ids, testing::ElementsAre(3000, 3010, 3011, 3015, 3016, 3020, 3021, 3060, 3061, 3030, 3031, 3040,
                                          3041, 3050, 3051, 1000, 1001, 1002, 1010, 1011, 1020, 1021, 1022, 1030));
}

}
}
