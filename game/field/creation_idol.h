#pragma once

#include "engine/base/type_name.h"
#include "game/field/idol.h"

namespace kq {

/// The idol that makes new pieces. So far it has what every idol has, its figure and its
/// mood; it does not yet deal pieces of its own.
class CreationIdol : public Idol
{
};

}

KQ_TYPE_NAME(kq::CreationIdol, "class kq::CreationIdol");
