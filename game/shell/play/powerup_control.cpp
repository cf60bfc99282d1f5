#include "game/shell/play/powerup_control.h"

#include "engine/art/sprite_timer.h"
#include "engine/res/skin_prototypes.h"

namespace kq {

PowerupControl::~PowerupControl()
{
    if (Sprite* found = image(); found && m_blinker)
        found->remove_controller(m_blinker.get());
}

void PowerupControl::on_mouse_enter()
{
    Control::on_mouse_enter();
    if (!m_blinker)
        return;
    if (m_blinker->is_started())
        m_blinker->stop();
    if (SpriteTimer* timer = m_blinker->timer())
        timer->reset();
    m_blinker->start();
    if (Sprite* found = image())
        found->add_controller(m_blinker);
}

void PowerupControl::on_mouse_leave()
{
    if (Sprite* found = image(); found && m_blinker) {
        found->remove_controller(m_blinker.get());
        // The pulse stops wherever it was: the image takes its own size again.
        found->set_scale(Vector2<float>{1.0f, 1.0f});
    }
    if (sprite())
        sprite()->set_scale(Vector2<float>{1.0f, 1.0f});
    Control::on_mouse_leave();
}

void PowerupControl::read_skin()
{
    Control::read_skin();
    m_blinker = SharedPtr<SpriteBase>(clone_from_skin<SpriteBase>(path() + "blinker"));
}

Sprite* PowerupControl::image() const
{
    return sprite() ? sprite()->find(StrCache("image"), false) : nullptr;
}

}
