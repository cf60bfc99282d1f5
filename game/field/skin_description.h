#pragma once

#include "engine/art/sprite.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"

namespace kq {

/// True when a description with a value stands at the path. The field looks up its effects
/// and the items it makes in play again at every burst and shot, so a missing description is
/// logged to "error" the first time its path is asked for and passed over in silence after.
bool is_described(const SkinPath& path);

/// A copy of the sprite described at the path (`clone_resource`); null when nothing is
/// described there (logged once, as `is_described`) or the description is empty.
template <class T = Sprite>
T* clone_described(const SkinPath& path)
{
    return is_described(path) ? clone_resource<T, Sprite>(path) : nullptr;
}

/// A new object of the class described at the path (`create_from_skin`); null when nothing is
/// described there (logged once, as `is_described`) or the description is empty. The caller
/// owns it.
template <class T>
T* create_described(const SkinPath& path)
{
    return is_described(path) ? create_from_skin<T>(path) : nullptr;
}

}
