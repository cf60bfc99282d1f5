// Every kind of sprite, controller, deformer and time source copies by one contract: settings
// by value, resources shared by key with one more use, prototypes cloned deeply, counted
// objects with their own count, and running state left behind. Checked class by class.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>

#include "art_res_support.h"
#include "art_test_support.h"
#include "art_tree_support.h"
#include "controller_test_support.h"
#include "engine/art/animation_controller.h"
#include "engine/art/camera_sprite.h"
#include "engine/art/canvas_sprite.h"
#include "engine/art/emitter_sprite.h"
#include "engine/art/extern_sprite.h"
#include "engine/art/interpolate_controller.h"
#include "engine/art/lens_deformer.h"
#include "engine/art/morph_deformer.h"
#include "engine/art/motion_controllers.h"
#include "engine/art/sound_sprite.h"
#include "engine/art/status_controllers.h"
#include "engine/art/text_sprite.h"
#include "engine/art/trail_deformer.h"
#include "engine/base/clone.h"
#include "engine/platform/font.h"
#include "engine/platform/sample.h"

namespace kq::test {
namespace {

constexpr std::int32_t decorated_period = 1234;

// A sample without sound data, for handles to share.
class SilentSample : public Sample
{
public:
    AudioHandle channel() const override { return 0; }

protected:
    AudioHandle make_handle(AudioLibrary&, const std::string&) override { return 0; }
};

// What every member of a tree carries into the copy's base: a timer, a controller of its own,
// the extra word and, for controllers, both flags.
template <class T>
T& decorated(T& object)
{
    auto* timer = new SpriteTimer;
    timer->set_period(decorated_period);
    object.set_timer(timer);
    object.add_controller(SharedPtr<SpriteBase>(new AlphaController));
    object.set_extra(77);
    if constexpr (std::is_base_of_v<SpriteController, T>) {
        object.set_momentary(true);
        object.set_fleeting(true);
    }
    return object;
}

// The reflection clone of the object alone (whatever it is attached to is not copied), with
// the base part checked: same class, not started, a timer and a controller of its own.
template <class T>
SharedPtr<T> copied(T& source)
{
    SharedPtr<T> copy;
    {
        rtti::ClonePass pass;
        rtti::clone_map_reset(source.parent());
        copy = SharedPtr<T>(rtti::clone(&source));
    }
    EXPECT_TRUE(copy);
    if (!copy)
        return copy;
    EXPECT_EQ(typeid(*copy), typeid(source));
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_FALSE(copy->is_started());
    EXPECT_EQ(copy->extra(), 77u);
    EXPECT_TRUE(copy->timer() && copy->timer() != source.timer());
    if (copy->timer()) {
        EXPECT_EQ(copy->timer()->period(), decorated_period);
        EXPECT_EQ(copy->timer()->owner(), copy.get());
    }
    EXPECT_EQ(copy->controllers().size(), 1u);
    copy->controllers().walk([&](const SharedPtr<SpriteBase>& controller) {
        EXPECT_NE(source.controllers().front(), controller.get());
        EXPECT_EQ(controller->parent(), copy.get());
    });
    if constexpr (std::is_base_of_v<SpriteController, T>) {
        EXPECT_TRUE(copy->is_momentary());
        EXPECT_TRUE(copy->is_fleeting());
    }
    return copy;
}

// Settings that the binary form holds are compared through it (both objects are roots).
template <class T>
void expect_same_form(const T& source, const T& copy)
{
    EXPECT_EQ(own_bytes(source), own_bytes(copy));
}

// The copy's handle holds the source's record, which has one use more.
void expect_shared(const ResHandleBase& source, const ResHandleBase& copy, int uses)
{
    EXPECT_EQ(copy.key().m_path, source.key().m_path);
    EXPECT_NE(copy.get_loaded(), nullptr);
    EXPECT_EQ(copy.get_loaded(), source.get_loaded());
    if (copy.get_loaded()) {
        EXPECT_EQ(copy.get_loaded()->use_count(), uses);
    }
}

// The text sprite's font handle, the last handle it visits.
const ResHandleBase& font_of(TextSprite& sprite)
{
    const ResHandleBase* font = nullptr;
    sprite.visit_handles([&font](ResHandleBase& handle) { font = &handle; });
    return *font;
}

TimeStamp at(std::int32_t time)
{
    return TimeStamp{TimeStamp::millisecond_clock, time, nullptr};
}

template <class T>
void expect_interpolation_copied()
{
    SharedPtr<T> source(new T);
    decorated(*source);
    source->set_start_value(0.25f);
    source->set_end_value(0.75f);
    source->set_variation(0.5f);
    ControllerRig rig;
    rig.sprite->add_controller(source);
    rig.at(0);  // draws the begin value
    const SharedPtr<T> copy = copied(*source);
    EXPECT_EQ(copy->start_value(), 0.25f);
    EXPECT_EQ(copy->end_value(), 0.75f);
    EXPECT_EQ(copy->variation(), 0.5f);
    EXPECT_EQ(copy->begin(), source->begin());
}

struct Row
{
    const char* name;
    std::function<void()> check;
};

const Row rows[] = {
    {"ImageSprite",
     [] {
         TestResources resources;
         resources.add<Texture>("t.png", SharedPtr<Texture>(new FakeTexture(64, 64, 64, 64)));
         resources.add<Texture>("s.png", SharedPtr<Texture>(new FakeTexture(64, 64, 64, 64)));
         SharedPtr<ImageSprite> source(new ImageSprite);
         decorated(*source);
         source->set_texture(ResHandle<Texture>(ResKey{"t.png", 0}));
         source->set_secondary_texture(ResHandle<Texture>(ResKey{"s.png", 0}));
         source->set_source_rect({3, 4}, {5, 6});
         source->set_grid({2, 3});
         source->set_texture_factor({0.5f, 0.25f, 1, 1});
         ASSERT_NE(source->texture().get(), nullptr);
         const SharedPtr<ImageSprite> copy = copied(*source);
         expect_same_form(*source, *copy);
         expect_shared(source->texture(), copy->texture(), 2);
         EXPECT_EQ(copy->secondary_texture().path(), "s.png");
         EXPECT_EQ(copy->secondary_texture().get_loaded(), nullptr) << "copying loads nothing";
     }},
    {"CanvasSprite",
     [] {
         TestResources resources;
         resources.add<Texture>("t.png", SharedPtr<Texture>(new FakeTexture(64, 64, 64, 64)));
         SharedPtr<CanvasSprite> source(new CanvasSprite);
         decorated(*source);
         source->set_texture(ResHandle<Texture>(ResKey{"t.png", 0}));
         source->set_source_rect({1, 2}, {30, 20});
         source->set_borders({1, 2, 3, 4});
         source->set_alternate_borders({5, 6, 7, 8});
         source->set_child_offset({9, 10});
         ASSERT_NE(source->texture().get(), nullptr);
         const SharedPtr<CanvasSprite> copy = copied(*source);
         expect_same_form(*source, *copy);
         expect_shared(source->texture(), copy->texture(), 2);
         EXPECT_EQ(copy->borders().bottom, 4);
         EXPECT_EQ(copy->borders().left, 1);
         EXPECT_EQ(copy->alternate_borders().top, 7);
         EXPECT_EQ(copy->alternate_borders().right, 6);
         EXPECT_EQ(copy->child_offset(), (Vector2<int>{9, 10}));
     }},
    {"TextSprite",
     [] {
         TestResources resources;
         resources.add<Font>("f.fnt", SharedPtr<Font>(new Font));
         SharedPtr<TextSprite> source(new TextSprite);
         decorated(*source);
         source->set_font(ResHandle<Font>(ResKey{"f.fnt", 0}));
         source->set_text("AB");
         source->set_alignment(ArtAlign::center, ArtAlign::end);
         source->set_brilliance(0.5f);
         ASSERT_NE(source->font(), nullptr);
         const SharedPtr<TextSprite> copy = copied(*source);
         expect_same_form(*source, *copy);
         expect_shared(font_of(*source), font_of(*copy), 2);
         EXPECT_EQ(copy->text(), "AB");
         EXPECT_EQ(copy->halign(), ArtAlign::end);
         EXPECT_EQ(copy->brilliance(), 0.5f);
     }},
    {"ExternSprite",
     [] {
         register_test_sprites();
         TestResources resources;
         resources.add<Sprite>("p.spr", SharedPtr<Sprite>(new Tile));
         SharedPtr<ExternSprite> source(new ExternSprite);
         decorated(*source);
         source->set_pattern(ResHandle<Sprite>(ResKey{"p.spr", 0}));
         source->tick(at(0));
         ASSERT_NE(source->instance(), nullptr);
         const SharedPtr<ExternSprite> copy = copied(*source);
         EXPECT_EQ(copy->instance(), nullptr);
         EXPECT_EQ(copy->children().size(), 0u) << "the shown clone stays with the source";
         expect_shared(source->pattern(), copy->pattern(), 2);
         copy->tick(at(0));
         ASSERT_NE(copy->instance(), nullptr);
         EXPECT_NE(copy->instance(), source->instance());
         EXPECT_EQ(copy->children().size(), 1u);
     }},
    {"SoundSprite",
     [] {
         TestResources resources;
         resources.add<Sample>("a.wav", SharedPtr<Sample>(new SilentSample));
         resources.add<Sample>("b.wav", SharedPtr<Sample>(new SilentSample));
         // Loaded before the sprite takes them, so that its handles share the records.
         ResHandle<Sample> a(ResKey{"a.wav", 0});
         ResHandle<Sample> b(ResKey{"b.wav", 0});
         ASSERT_TRUE(a.get() && b.get());
         SharedPtr<SoundSprite> source(new SoundSprite);
         decorated(*source);
         source->set_variants({b, ResHandle<Sample>(ResKey{"a.wav", 1})});
         source->set_sample(a);
         source->set_volume(0.5f);
         source->set_loop(true);
         source->set_panoramic(true);
         source->set_random_start(true);
         source->set_perpetual(true);
         source->set_sound_value(-3);
         const SharedPtr<SoundSprite> copy = copied(*source);
         expect_same_form(*source, *copy);
         expect_shared(source->sample(), copy->sample(), 3);
         ASSERT_EQ(copy->variants().size(), 2u);
         expect_shared(source->variants()[0], copy->variants()[0], 3);
         EXPECT_EQ(copy->variants()[1].key().m_flags, 1);
         EXPECT_FALSE(copy->sound().is_playing());
     }},
    {"EmitterSprite",
     [] {
         register_test_sprites();
         SharedPtr<EmitterSprite> source(new EmitterSprite);
         decorated(*source);
         SharedPtr<Tile> prototype(new Tile);
         prototype->add_child(SharedPtr<Tile>(new Tile));
         source->set_particle(prototype);
         source->set_emission(10);
         source->set_start_speed(2, 3);
         source->settings().emission_mode = 1;
         source->settings().spread = 0.5f;
         source->tick(at(0));
         source->tick(at(50));
         ASSERT_EQ(source->pending(), 50000);
         const SharedPtr<EmitterSprite> copy = copied(*source);
         expect_same_form(*source, *copy);
         EXPECT_EQ(copy->emission(), 10.0f);
         EXPECT_EQ(copy->settings().emission_mode, 1);
         EXPECT_EQ(copy->settings().start_speed_max, 3.0f);
         EXPECT_EQ(copy->pending(), 0);
         EXPECT_EQ(copy->emitted(), 0);
         EXPECT_NE(copy->particle_group(), source->particle_group());
         const auto own_cell = copy->self().lock();
         ASSERT_TRUE(own_cell);
         EXPECT_EQ(*own_cell, static_cast<ParticleTarget*>(copy.get()));
         // The prototype is a tree of its own.
         ASSERT_NE(copy->particle(), nullptr);
         EXPECT_NE(copy->particle(), source->particle());
         ASSERT_EQ(copy->particle()->children().size(), 1u);
         copy->particle()->clear_children();
         EXPECT_EQ(source->particle()->children().size(), 1u);
     }},
    {"CameraSprite",
     [] {
         SharedPtr<CameraSprite> source(new CameraSprite);
         decorated(*source);
         source->set_size(Vector2<float>{512, 384});
         source->set_color({1, 0.5f, 0.25f, 0.5f});
         expect_same_form(*source, *copied(*source));
     }},
    {"AlphaController", [] { expect_interpolation_copied<AlphaController>(); }},
    {"ScaleController", [] { expect_interpolation_copied<ScaleController>(); }},
    {"SpinController", [] { expect_interpolation_copied<SpinController>(); }},
    {"AlphaKey3Controller",
     [] {
         AlphaKey3Controller source;
         decorated(source).set_keys(0.1f, 0.2f, 0.3f);
         const SharedPtr<AlphaKey3Controller> copy = copied(source);
         EXPECT_EQ(copy->key(0), 0.1f);
         EXPECT_EQ(copy->key(2), 0.3f);
     }},
    {"AnimationController",
     [] {
         AnimationController source;
         decorated(source).set_frames(3, 7);
         source.set_secondary(true);
         const SharedPtr<AnimationController> copy = copied(source);
         expect_same_form(source, *copy);
         EXPECT_TRUE(copy->is_secondary());
     }},
    {"MoveController",
     [] {
         MoveController source;
         decorated(source).set_velocity({3, 4});
         source.set_acceleration({5, 6});
         const SharedPtr<MoveController> copy = copied(source);
         EXPECT_EQ(copy->velocity(), (Vector2<float>{3, 4}));
         EXPECT_EQ(copy->acceleration(), (Vector2<float>{5, 6}));
     }},
    {"TurnController",
     [] {
         TurnController source;
         decorated(source).set_speed(2.5f);
         EXPECT_EQ(copied(source)->speed(), 2.5f);
     }},
    {"StatusController",
     [] {
         StatusController source;
         decorated(source).set_window(0.25f, 0.5f);
         const SharedPtr<StatusController> copy = copied(source);
         EXPECT_EQ(copy->window_start(), 0.25f);
         EXPECT_EQ(copy->window_end(), 0.5f);
     }},
    {"ShakeController",
     [] {
         auto* source = new ShakeController;
         decorated(*source).set_period(20);
         source->set_shift_amplitude({8, 8});
         source->set_roll_amplitude(0.5f);
         ControllerRig rig;
         rig.sprite->add_controller(SharedPtr<SpriteBase>(source));
         for (int t = 0; t <= 60; t += 10)
             rig.at(t);
         ASSERT_NE(source->current_shift(), (Vector2<float>{0, 0}));
         const SharedPtr<ShakeController> copy = copied(*source);
         EXPECT_EQ(copy->period(), 20);
         EXPECT_EQ(copy->shift_amplitude(), (Vector2<float>{8, 8}));
         EXPECT_EQ(copy->roll_amplitude(), 0.5f);
         EXPECT_EQ(copy->current_shift(), source->current_shift());
         EXPECT_EQ(copy->current_roll(), source->current_roll());
     }},
    {"SplashController",
     [] {
         SplashController source;
         decorated(source).set_normal_speed(40);
         source.set_smoothness(0.75f);
         expect_same_form(source, *copied(source));
     }},
    {"LensDeformer",
     [] {
         LensDeformer source;
         decorated(source).set_radius(7);
         source.set_warp(-0.5f);
         expect_same_form(source, *copied(source));
     }},
    {"MorphDeformer",
     [] {
         MorphDeformer source;
         decorated(source).morphs() = {{{0, 0}, {1, 2}}, {{1, 1}, {3, 4}}};
         const SharedPtr<MorphDeformer> copy = copied(source);
         expect_same_form(source, *copy);
         ASSERT_EQ(copy->morphs().size(), 2u);
         EXPECT_EQ(copy->morphs()[1].to, (Vector2<float>{3, 4}));
     }},
    {"TrailDeformer",
     [] {
         register_test_sprites();
         SharedPtr<Tile> owner(new Tile);
         owner->set_timer(new SpriteTimer);
         auto* source = new TrailDeformer;
         decorated(*source).set_duration(300);
         source->set_interval(5);
         source->set_metric(TrailDeformer::metric_y);
         owner->set_deformer(SharedPtr<SpriteBase>(source));
         for (int t = 0; t <= 40; t += 20) {
             owner->move_by({1, 1});
             owner->tick(at(t));
         }
         ASSERT_EQ(source->samples().size(), 3u);
         const SharedPtr<TrailDeformer> copy = copied(*source);
         EXPECT_EQ(copy->duration(), 300);
         EXPECT_EQ(copy->interval(), 5);
         EXPECT_EQ(copy->metric(), TrailDeformer::metric_y);
         EXPECT_EQ(copy->extent(), source->extent());
         ASSERT_EQ(copy->samples().size(), 3u);
         EXPECT_EQ(copy->samples()[2].time, source->samples()[2].time);
         EXPECT_EQ(copy->samples()[2].world.m, source->samples()[2].world.m);
     }},
    {"SpriteTimer",
     [] {
         SpriteTimerPtr source(new SpriteTimer);
         source->set_period(300);
         source->set_cyclic(SpriteTimer::Cyclic::loop);
         source->set_coeff_law(SpriteTimer::CoeffLaw::cos);
         source->advance(100);
         source->advance(250);
         SpriteTimerPtr copy(rtti::clone(source.get()));
         EXPECT_EQ(copy->links(), 1) << "only the test's own hold";
         EXPECT_EQ(copy->period(), 300);
         EXPECT_EQ(copy->cyclic(), SpriteTimer::Cyclic::loop);
         EXPECT_EQ(copy->coeff_law(), SpriteTimer::CoeffLaw::cos);
         EXPECT_TRUE(copy->is_started());
         EXPECT_EQ(copy->run_length(), source->run_length());
         EXPECT_EQ(copy->current_time(), 250);
         EXPECT_EQ(copy->elapsed(), 150);
         EXPECT_EQ(copy->step(), 150);
         EXPECT_EQ(copy->coefficient(), source->coefficient());
     }},
    {"SpriteLogic",
     [] {
         SpriteLogicPtr source(new SpriteLogic);
         source->state_fields().push_back({StrCache("f"), 2, {StrCache("a"), StrCache("b")}, 3});
         source->parameters().push_back({4, StrCache("p"), 40});
         source->set_reserved(9);
         int heard = 0;
         source->on_set_state().connect([&heard](SpriteBase*, StrCache, std::int32_t) { ++heard; }, nullptr);
         SpriteLogicPtr copy(rtti::clone(source.get()));
         EXPECT_EQ(copy->links(), 1);
         EXPECT_EQ(own_bytes(*copy), own_bytes(*source));
         copy->set_state(nullptr, StrCache("f"), 1);
         EXPECT_EQ(heard, 0) << "handlers stay with the source";
         source->set_state(nullptr, StrCache("f"), 1);
         EXPECT_EQ(heard, 1);
     }},
};

TEST(CopyContract, EachClassCopiesByTheContract)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

}
}
