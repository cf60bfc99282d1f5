#include "game/field/objects/door.h"

#include "engine/res/skin_readers.h"

namespace kq {

void Door::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    read_skin_value(skin_path() + "rotate_step", &m_rotate_step);
}

void Door::do_activate()
{
    Item::do_activate();
    if (m_body)
        set_angle(angle() + m_rotate_step);
}

}
