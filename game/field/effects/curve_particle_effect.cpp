#include "game/field/effects/curve_particle_effect.h"

#include "engine/art/emitter_sprite.h"
#include "engine/res/skin_path.h"

namespace kq {

void CurveParticleEffect::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    m_target.read_skin(path + "target");
}

void CurveParticleEffect::start()
{
    Sprite::start();
    for_each_child(
        [this](Sprite* child) {
            if (auto* emitter = dynamic_cast<EmitterSprite*>(child))
                emitter->set_target(m_target.self());
        },
        false);
}

void CurveParticleEffect::update(const TimeStamp& stamp)
{
    Sprite::update(stamp);
    if (!m_finished && timer_ran_out()) {
        m_finished = true;
        on_timer_end();
    }
}

void CurveParticleEffect::on_timer_end()
{
    m_on_finish.emit();
}

}
