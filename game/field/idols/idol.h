#pragma once

#include "engine/art/image_sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/platform/sound.h"
#include "engine/res/skin_io.h"
#include "game/field/field_enums.h"

namespace kq {

class Artist;
class Field;

/// The base of a mission's idols: a figure drawn beside the field that acts on the game
/// through its kind. It has a mood, which shows a rainbow on the field's effect layer when it
/// turns good and can be locked there, and a sound channel for its kinds.
class Idol : public SkinIO
{
public:
    Idol() = default;
    Idol(const Idol& other) = default;
    ~Idol() override = default;

    /// The figure reads itself from the child "sprite"; the rainbow is cloned from the child
    /// "rainbow" (none when its text is empty).
    void read_skin(const SkinPath& path) override;
    /// Called once the idol has its field.
    virtual void attached() {}
    /// Called at the end of every turn.
    virtual void turn_end() {}
    /// Called after the mood changed; a good mood shows the rainbow.
    virtual void mood_changed(IdolMood old_mood, IdolMood new_mood);
    /// One frame of `elapsed` milliseconds.
    virtual void update(int /*elapsed*/) {}
    /// Draws the figure.
    virtual void draw(Artist& artist);

    /// Gives the idol its field, then tells it.
    void set_field(Field* field);
    /// Changes the mood unless it is locked or the same.
    void set_mood(IdolMood mood);
    /// Makes the mood good and keeps it so.
    void lock_good_mood();

    Field* field() const { return m_field; }
    IdolMood mood() const { return m_mood; }
    bool is_mood_locked() const { return m_mood_locked; }
    ImageSprite& sprite() { return m_sprite; }
    const SharedPtr<ImageSprite>& rainbow() const { return m_rainbow; }

protected:
    ImageSprite m_sprite;
    SharedPtr<ImageSprite> m_rainbow;
    Field* m_field = nullptr;
    IdolMood m_mood = IdolMood::normal;
    bool m_mood_locked = false;
    Sound m_sound;
};

}

KQ_TYPE_NAME(kq::Idol, "class kq::Idol");
