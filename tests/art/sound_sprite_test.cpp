#include "engine/art/sound_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "art_test_support.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "engine/base/string_stream.h"
#include "tests/platform/audio_fixture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

// Sound sprites under a root on the null audio output: "loud.wav" holds 0.5, "quiet.wav"
// 0.25, both long enough to play through a test.
class SoundSpriteTest : public AudioFixture
{
protected:
    SoundSpriteTest()
    {
        write("loud.wav", level_wav(16384, 44100));
        write("quiet.wav", level_wav(8192, 44100));
        m_root->add_child(m_sound);
        m_sound->set_sample(handle("loud.wav"));
    }

    void tick()
    {
        m_time += 10;
        m_root->tick(TimeStamp{TimeStamp::millisecond_clock, m_time, nullptr});
    }

    // The next output frame, left and right.
    std::vector<float> frame() { return pull(1); }

    SharedPtr<Sprite> m_root{new Sprite};
    SharedPtr<SoundSprite> m_sound{new SoundSprite};
    std::int32_t m_time = 0;
};

TEST_F(SoundSpriteTest, APanoramicLoopPansWithItsPlaceAndStopsWhenHidden)
{
    m_sound->set_panoramic(true);
    m_sound->set_loop(true);
    // The pan spreads over 1024 units: the left edge, the centre, the right edge, beyond it.
    struct Place {
        float x;
        std::vector<float> frame;
    };
    const Place places[] = {
        {0.0f, {0.5f, 0.0f}},
        {512.0f, {0.5f, 0.5f}},
        {768.0f, {0.25f, 0.5f}},
        {1024.0f, {0.0f, 0.5f}},
        {3000.0f, {0.0f, 0.5f}},
        {-50.0f, {0.5f, 0.0f}},
    };
    m_sound->set_position(Vector2<float>{places[0].x, 0.0f});
    tick();
    ASSERT_TRUE(m_sound->sound().is_playing());
    for (const Place& place : places) {
        m_sound->set_position(Vector2<float>{place.x, 0.0f});
        tick();
        EXPECT_EQ(frame(), place.frame) << place.x;
    }
    // The loop plays past the sample's end.
    pull(2 * 44100);
    EXPECT_TRUE(m_sound->sound().is_playing());

    m_root->set_hidden(true);
    EXPECT_FALSE(m_sound->sound().is_playing());
    EXPECT_EQ(frame(), std::vector<float>(2, 0.0f));
    // Shown again, it starts again.
    m_root->set_hidden(false);
    EXPECT_TRUE(m_sound->sound().is_playing());
}

TEST_F(SoundSpriteTest, APerpetualSoundOutlivesHidingAndDeactivation)
{
    m_sound->set_loop(true);
    m_sound->set_perpetual(true);
    m_sound->set_state_mask(1);
    m_sound->set_state_value(0);
    tick();
    ASSERT_TRUE(m_sound->sound().is_playing());
    m_sound->set_hidden(true);
    m_sound->set_state(1);
    EXPECT_TRUE(m_sound->sound().is_playing());

    m_sound->set_perpetual(false);
    m_sound->set_hidden(false);
    m_sound->set_state(0);
    ASSERT_TRUE(m_sound->sound().is_playing());
    // Deactivated by its state bits, a sound that is not perpetual stops.
    m_sound->set_state(1);
    EXPECT_FALSE(m_sound->sound().is_playing());
}

TEST_F(SoundSpriteTest, AHiddenSpriteStaysSilentUntilShown)
{
    m_sound->set_hidden(true);
    tick();
    EXPECT_TRUE(m_sound->is_started());
    EXPECT_FALSE(m_sound->sound().is_playing());
    m_sound->set_hidden(false);
    EXPECT_TRUE(m_sound->sound().is_playing());
}

TEST_F(SoundSpriteTest, OneVariantIsAlwaysPlayedInsteadOfTheSample)
{
    m_sound->set_variants({handle("quiet.wav")});
    m_sound->set_sound_value(42);
    for (int round = 0; round < 3; ++round) {
        m_sound->stop();
        m_sound->start();
        EXPECT_EQ(frame(), (std::vector<float>{0.25f, 0.25f})) << round;
    }
    EXPECT_EQ(m_sound->sound().n(), 42);
}

TEST_F(SoundSpriteTest, TheSampleAndVolumeProperties)
{
    tick();
    pull(4410);
    ASSERT_EQ(m_sound->sound().position(), 100);

    // The handle it holds already: the sound plays on.
    ResHandle<Sample> same = handle("loud.wav");
    EXPECT_TRUE(m_sound->set_property(sound_property_sample, type_name<ResHandle<Sample>>(), 1, &same));
    EXPECT_EQ(m_sound->sound().position(), 100);
    // Another one restarts at once.
    ResHandle<Sample> other = handle("quiet.wav");
    EXPECT_TRUE(m_sound->set_property(sound_property_sample, type_name<ResHandle<Sample>>(), 1, &other));
    EXPECT_EQ(m_sound->sound().position(), 0);
    EXPECT_EQ(frame(), (std::vector<float>{0.25f, 0.25f}));

    float volume = 0.5f;
    EXPECT_TRUE(m_sound->set_property(sound_property_volume, type_name<float>(), 1, &volume));
    EXPECT_EQ(frame(), (std::vector<float>{0.125f, 0.125f}));

    ResHandle<Sample> read;
    m_sound->property(property_get, all_properties, &read);
    EXPECT_EQ(read.path(), "quiet.wav");
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    m_sound->property(property_list, all_properties, &append);
    EXPECT_THAT(ids, testing::ElementsAre(4000, 4010, 1000, 1001, 1002, 1010, 1011, 1020, 1021, 1022, 1030));
    ids.clear();
    m_sound->property(property_list, sound_property_volume, &append);
    EXPECT_THAT(ids, testing::ElementsAre(4010));
}

TEST_F(SoundSpriteTest, ACopyStartsIdleAndNeverStopsTheOriginal)
{
    m_sound->set_loop(true);
    m_sound->set_volume(0.5f);
    m_sound->set_sound_value(7);
    tick();
    ASSERT_TRUE(m_sound->sound().is_playing());
    m_sound->set_variants({handle("quiet.wav"), handle("loud.wav")});
    {
        SharedPtr<SoundSprite> copy(rtti::clone(m_sound.get()));
        EXPECT_FALSE(copy->sound().is_playing());
        EXPECT_TRUE(copy->loop());
        EXPECT_FLOAT_EQ(copy->volume(), 0.5f);
        EXPECT_EQ(copy->sound_value(), 7);
        ASSERT_EQ(copy->variants().size(), 2u);
        // The handles share the sample loaded once.
        EXPECT_EQ(copy->sample().get_loaded(), m_sound->sample().get_loaded());
        EXPECT_NE(copy->sample().get_loaded(), nullptr);
        copy->stop();
    }
    EXPECT_TRUE(m_sound->sound().is_playing());
}

TEST_F(SoundSpriteTest, BinaryFormsOfEveryVersion)
{
    SoundSprite source;
    source.set_sample(handle("loud.wav"));
    source.set_variants({handle("quiet.wav"), ResHandle<Sample>(ResKey{"stream.ogg", 1})});
    source.set_volume(0.75f);
    source.set_panoramic(true);
    source.set_random_start(true);
    source.set_perpetual(true);
    source.set_sound_value(-3);
    const std::string bytes = own_bytes(source);

    SoundSprite read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.sample().path(), "loud.wav");
    ASSERT_EQ(read.variants().size(), 2u);
    EXPECT_EQ(read.variants()[1].key().m_flags, 1);
    EXPECT_FLOAT_EQ(read.volume(), 0.75f);
    EXPECT_TRUE(read.panoramic());
    EXPECT_FALSE(read.loop());
    EXPECT_TRUE(read.random_start());
    EXPECT_TRUE(read.perpetual());
    EXPECT_EQ(read.sound_value(), -3);

    // Older versions lack the trailing fields, which keep their values.
    struct Older {
        std::uint8_t version;
        std::size_t cut;
        bool perpetual;
        std::int32_t sound_value;
    };
    for (const Older& older : {Older{0, 5, false, 100}, Older{1, 4, true, 100}}) {
        SoundSprite fresh;
        load_bytes(fresh, u8(older.version) + bytes.substr(1, bytes.size() - 1 - older.cut));
        EXPECT_EQ(fresh.perpetual(), older.perpetual) << int(older.version);
        EXPECT_EQ(fresh.sound_value(), older.sound_value) << int(older.version);
    }

    struct Damage {
        const char* what;
        std::string bytes;
        const char* error;
    };
    const Damage damages[] = {
        {"later version", u8(3) + bytes.substr(1), "unsupported version."},
        {"short", bytes.substr(0, bytes.size() - 2), "unexpected end of buffer."},
    };
    for (const Damage& d : damages) {
        SoundSprite broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), testing::HasSubstr(d.error)) << d.what;
    }
}

TEST_F(SoundSpriteTest, SkinKeysAndTheVariantList)
{
    TestSkinEnvironment skin(R"(
        bell "class kq::SoundSprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(10, 10)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96
            sample "Sounds/Bell.wav" variant_sample [{ "a.wav" 0 "b.ogg" 1 }] volume 0.5
            panoramic true loop true random_start false perpetual true
        }
    )");
    SoundSprite bell;
    bell.read_skin(SkinPath("bell"));
    EXPECT_EQ(bell.sample().path(), "sounds/bell.wav");
    ASSERT_EQ(bell.variants().size(), 2u);
    EXPECT_EQ(bell.variants()[0].path(), "a.wav");
    EXPECT_EQ(bell.variants()[1].key().m_flags, 1);
    EXPECT_FLOAT_EQ(bell.volume(), 0.5f);
    EXPECT_TRUE(bell.panoramic());
    EXPECT_TRUE(bell.loop());
    EXPECT_FALSE(bell.random_start());
    EXPECT_TRUE(bell.perpetual());

    StringStream unclosed("{ a.wav 0");
    std::vector<ResHandle<Sample>> variants;
    EXPECT_THAT(error_of([&] { SoundSprite::read_variants(unclosed, variants); }),
                testing::HasSubstr("unexcepted end of file reached."));
}

}
}
