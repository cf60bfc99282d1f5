#include "game/field/idols/idol.h"

#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "game/field/field.h"

namespace kq {

void Idol::read_skin(const SkinPath& path)
{
    m_sprite.read_skin(path + "sprite");
    // Without a "rainbow" node the idol has none.
    const SkinPath rainbow = path + "rainbow";
    m_rainbow = require_skin_environment().try_find_node(rainbow, true)
                    ? SharedPtr<ImageSprite>(clone_resource<ImageSprite, Sprite>(rainbow))
                    : SharedPtr<ImageSprite>();
}

void Idol::mood_changed(IdolMood, IdolMood new_mood)
{
    // A rainbow shown once stays where it is.
    if (new_mood == IdolMood::good && m_rainbow && !m_rainbow->parent() && m_field)
        m_field->effect_layer().add_child(SharedPtr<Sprite>(m_rainbow));
}

void Idol::draw(Artist& artist)
{
    m_sprite.render(artist);
}

void Idol::set_field(Field* field)
{
    m_field = field;
    attached();
}

void Idol::set_mood(IdolMood mood)
{
    if (m_mood_locked || mood == m_mood)
        return;
    const IdolMood old_mood = m_mood;
    m_mood = mood;
    mood_changed(old_mood, mood);
}

void Idol::lock_good_mood()
{
    if (m_mood != IdolMood::good) {
        const IdolMood old_mood = m_mood;
        m_mood = IdolMood::good;
        mood_changed(old_mood, IdolMood::good);
    }
    m_mood_locked = true;
}

}
