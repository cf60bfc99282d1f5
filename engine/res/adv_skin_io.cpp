#include "engine/res/adv_skin_io.h"

namespace kq {

void AdvSkinIO::read_skin(const SkinPath& path)
{
    if (&path != &m_skin_path)
        m_skin_path = path;
}

}
