// The cost of the field's physics adapter: a field of 200 items (circles, boxes and octagons
// of 3 to 5 m, moving and colliding, damped, every one a bullet) stepped in 20 ms frames of
// 10 iterations with a listener keeping every contact result, against plain Box2D stepping
// the same bodies with its own damping and a listener keeping every post-solve impulse. The
// ratio adapter / plain is the adapter's overhead: the velocity stage, the sub-step choice,
// the box test and the contact bookkeeping.
//
// The "shot" pair adds one body at the 200 m/s cap: the adapter then cuts each frame into
// sub-steps (plain Box2D instead slows the body to 100 m/s), so that ratio is the price of
// keeping the speed.
#include <benchmark/benchmark.h>

#include <box2d/box2d.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "game/field/physics/physics_world.h"

namespace {

constexpr int item_count = 200;
constexpr int frames = 50;
constexpr float frame_seconds = 0.02f;
constexpr int iterations = 10;

enum class Form { circle, box, octagon };

struct ItemSpec
{
    Form form;
    b2Vec2 position;
    b2Vec2 velocity;
    float spin;
    float half;
};

// Items on a jittered grid over the 102.4 x 76.8 m screen, so that they start apart and
// meet as they move.
std::vector<ItemSpec> field_items(bool shot)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<ItemSpec> items;
    for (int i = 0; i < item_count; ++i) {
        ItemSpec item;
        item.form = Form(i % 3);
        item.half = 1.5f + 0.5f * (unit(random) + 1.0f) * 0.5f;
        item.position.Set(6.0f + float(i % 20) * 4.6f + unit(random) * 0.3f,
                          15.0f + float(i / 20) * 4.6f + unit(random) * 0.3f);
        item.velocity.Set(unit(random) * 15.0f, unit(random) * 15.0f);
        item.spin = unit(random) * 3.0f;
        items.push_back(item);
    }
    if (shot) {
        items[90].velocity.Set(200.0f, 0.0f);
        items[90].spin = 0.0f;
    }
    return items;
}

void octagon_vertices(float hx, float hy, b2Vec2* out)
{
    const b2Vec2 points[8] = {{-hx, 0.44f * hy}, {-hx, -0.44f * hy}, {-0.44f * hx, -hy}, {0.44f * hx, -hy},
                              {hx, -0.44f * hy}, {hx, 0.44f * hy},   {0.44f * hx, hy},   {-0.44f * hx, hy}};
    for (int i = 0; i < 8; ++i)
        out[i] = points[i];
}

struct ResultKeeper : kq::PhysicsContactListener
{
    void result(const kq::ContactResult& result) override { results.push_back(result); }
    std::vector<kq::ContactResult> results;
};

struct PlainResult
{
    b2Fixture* fixture1;
    b2Fixture* fixture2;
    uintptr_t item1;
    uintptr_t item2;
    b2Vec2 position;
    b2Vec2 normal;
    float normal_impulse;
    float tangent_impulse;
    uint32 id;
};

struct PlainResultKeeper : b2ContactListener
{
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override
    {
        b2WorldManifold world;
        contact->GetWorldManifold(&world);
        const b2Manifold* manifold = contact->GetManifold();
        for (int i = 0; i < manifold->pointCount; ++i)
            results.push_back({contact->GetFixtureA(), contact->GetFixtureB(),
                               contact->GetFixtureA()->GetBody()->GetUserData().pointer,
                               contact->GetFixtureB()->GetBody()->GetUserData().pointer, world.points[i],
                               world.normal, impulse->normalImpulses[i], impulse->tangentImpulses[i],
                               manifold->points[i].id.key});
    }
    std::vector<PlainResult> results;
};

std::unique_ptr<kq::PhysicsWorld> adapter_field(const std::vector<ItemSpec>& items)
{
    b2AABB box;
    box.lowerBound.Set(-60.0f, -30.0f);
    box.upperBound.Set(162.4f, 106.8f);
    auto world = std::make_unique<kq::PhysicsWorld>(box, b2Vec2(0.0f, 0.0f), false);
    for (const ItemSpec& item : items) {
        kq::BodyDef def;
        def.position = item.position;
        def.linear_damping = 0.5f;
        def.angular_damping = 0.5f;
        def.is_bullet = true;
        kq::PhysicsBody* body = world->create_body(def);
        kq::CircleDef circle;
        kq::PolygonDef polygon;
        kq::ShapeDef* shape = &polygon;
        if (item.form == Form::circle) {
            circle.radius = item.half;
            shape = &circle;
        } else if (item.form == Form::box) {
            polygon.set_as_box(item.half, item.half);
        } else {
            polygon.vertex_count = 8;
            octagon_vertices(item.half, item.half, polygon.vertices.data());
        }
        shape->density = 0.1f;
        shape->restitution = 0.3f;
        body->create_shape(*shape);
        body->set_mass_from_shapes();
        body->set_linear_velocity(item.velocity);
        body->set_angular_velocity(item.spin);
    }
    return world;
}

std::unique_ptr<b2World> plain_field(const std::vector<ItemSpec>& items)
{
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    world->SetAllowSleeping(false);
    for (const ItemSpec& item : items) {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position = item.position;
        def.linearDamping = 0.5f;
        def.angularDamping = 0.5f;
        def.bullet = true;
        def.linearVelocity = item.velocity;
        def.angularVelocity = item.spin;
        b2Body* body = world->CreateBody(&def);
        b2CircleShape circle;
        b2PolygonShape polygon;
        b2Shape* shape = &polygon;
        if (item.form == Form::circle) {
            circle.m_radius = item.half;
            shape = &circle;
        } else if (item.form == Form::box) {
            polygon.SetAsBox(item.half, item.half);
        } else {
            b2Vec2 vertices[8];
            octagon_vertices(item.half, item.half, vertices);
            polygon.Set(vertices, 8);
        }
        b2FixtureDef fixture;
        fixture.shape = shape;
        fixture.density = 0.1f;
        fixture.restitution = 0.3f;
        body->CreateFixture(&fixture);
    }
    return world;
}

void adapter_step(benchmark::State& state, bool shot)
{
    const std::vector<ItemSpec> items = field_items(shot);
    long results = 0;
    long substeps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto world = adapter_field(items);
        ResultKeeper keeper;
        world->set_contact_listener(&keeper);
        state.ResumeTiming();
        for (int frame = 0; frame < frames; ++frame) {
            world->step(frame_seconds, iterations);
            results += long(keeper.results.size());
            substeps += world->last_substep_count();
            keeper.results.clear();
        }
        benchmark::DoNotOptimize(world->body_count());
    }
    state.counters["results/frame"] = double(results) / double(state.iterations() * frames);
    state.counters["substeps/frame"] = double(substeps) / double(state.iterations() * frames);
    state.SetItemsProcessed(state.iterations() * frames);
}

void plain_step(benchmark::State& state, bool shot)
{
    const std::vector<ItemSpec> items = field_items(shot);
    long results = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto world = plain_field(items);
        PlainResultKeeper keeper;
        world->SetContactListener(&keeper);
        state.ResumeTiming();
        for (int frame = 0; frame < frames; ++frame) {
            world->Step(frame_seconds, iterations, iterations);
            results += long(keeper.results.size());
            keeper.results.clear();
        }
        benchmark::DoNotOptimize(world->GetBodyCount());
    }
    state.counters["results/frame"] = double(results) / double(state.iterations() * frames);
    state.SetItemsProcessed(state.iterations() * frames);
}

void plain_field_frames(benchmark::State& state) { plain_step(state, false); }
void adapter_field_frames(benchmark::State& state) { adapter_step(state, false); }
void plain_shot_frames(benchmark::State& state) { plain_step(state, true); }
void adapter_shot_frames(benchmark::State& state) { adapter_step(state, true); }

}

BENCHMARK(plain_field_frames)->Unit(benchmark::kMicrosecond);
BENCHMARK(adapter_field_frames)->Unit(benchmark::kMicrosecond);
BENCHMARK(plain_shot_frames)->Unit(benchmark::kMicrosecond);
BENCHMARK(adapter_shot_frames)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
