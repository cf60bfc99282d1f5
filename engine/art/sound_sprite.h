#pragma once

#include <cstdint>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/platform/sample.h"
#include "engine/platform/sound.h"
#include "engine/res/res_handle.h"

namespace kq {

class TStream;

/// Ids of a sound sprite's properties.
inline constexpr std::int32_t sound_property_sample = 4000;
inline constexpr std::int32_t sound_property_volume = 4010;

/// A sprite that draws nothing and plays a sound while it is started, shown and active: the
/// sound starts when the branch starts, is shown or activated, and stops when it is hidden or
/// deactivated unless the sprite is perpetual. Each start may pick one of several variants at
/// random; a panoramic sprite pans with its horizontal place on the screen.
class SoundSprite : public Sprite
{
public:
    SoundSprite() = default;
    /// Copies the settings and shares the sample handles; the copy's sound is idle, so it never
    /// stops the channel of the source.
    SoundSprite(const SoundSprite& other);
    /// Stops the sound (as the sound's own destruction does), then lets go of the samples.
    ~SoundSprite() override = default;

    /// Writes version 2 (the sprite form first).
    void store(BStream& stream) const override;
    /// Reads versions 0 to 2; fields a version lacks keep their values.
    void load(BStream& stream) override;
    /// The sprite's keys, then "sample", "variant_sample", "volume", "panoramic", "loop",
    /// "random_start" and "perpetual".
    void read_skin(const SkinPath& path) override;
    /// Answers "Sample" (4000) and "Volume" (4010), then the sprite's properties.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The sprite's reaction; a sprite that turns inactive stops its sound unless perpetual.
    void on_active_changed(bool active) override;
    /// The sprite's start, then tries to play.
    void start() override;
    /// The sprite's handles, then the sample (not the variants).
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;
    /// The sprite's reaction; shown: tries to play; hidden: stops unless perpetual.
    void on_visible_changed(bool visible) override;
    /// The sprite's prepare; a panoramic sound then follows the new horizontal position.
    void prepare() override;

    /// Plays the sample (or a variant drawn at random) when the sprite may sound now: started,
    /// its own state bits matching, the chain above active and nothing up the chain hidden.
    void try_to_play();
    /// Takes another sample and tries to play it; the same sample changes nothing.
    void set_sample(const ResHandle<Sample>& sample);
    /// Sets the volume, of the playing sound too.
    void set_volume(float volume);
    void set_variants(const std::vector<ResHandle<Sample>>& variants) { m_variants = variants; }
    void set_loop(bool loop) { m_loop = loop; }
    void set_panoramic(bool panoramic) { m_panoramic = panoramic; }
    void set_random_start(bool random_start) { m_random_start = random_start; }
    void set_perpetual(bool perpetual) { m_perpetual = perpetual; }
    void set_sound_value(std::int32_t value) { m_sound_value = value; }

    const ResHandle<Sample>& sample() const { return m_sample; }
    const std::vector<ResHandle<Sample>>& variants() const { return m_variants; }
    float volume() const { return m_volume; }
    bool loop() const { return m_loop; }
    bool panoramic() const { return m_panoramic; }
    bool random_start() const { return m_random_start; }
    bool perpetual() const { return m_perpetual; }
    std::int32_t sound_value() const { return m_sound_value; }
    const Sound& sound() const { return m_sound; }

    /// Reads the variant list: an opening token, then entries of a resource path and its key
    /// flags up to "}"; the list is cleared first.
    static void read_variants(TStream& stream, std::vector<ResHandle<Sample>>& variants);

private:
    bool may_play() const;
    float pan_of(float x) const;

    ResHandle<Sample> m_sample;
    std::vector<ResHandle<Sample>> m_variants;
    float m_volume = 1.0f;
    bool m_loop = false;
    bool m_panoramic = false;
    bool m_random_start = false;
    bool m_perpetual = false;
    std::int32_t m_sound_value = 100;
    Sound m_sound;
};

}

KQ_TYPE_NAME(kq::SoundSprite, "class kq::SoundSprite");
