#include "engine/res/skin_io.h"

namespace kq {

void SkinIO::read_skin(const SkinPath&)
{
}

void load_from_skin(SkinIO& object, const SkinPath& path)
{
    object.read_skin(path);
}

}
