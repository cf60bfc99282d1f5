#pragma once

#include "engine/base/enum_desc.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"

namespace kq {

/// Reads the registered enumeration E by the name written at the path; an unknown name fails
/// with "enum string interpretation [<name>] unregistered.".
template <class E>
void read_skin_enum(const SkinPath& path, E* out)
{
    StringStream stream(get_skin_text(path));
    stream >> *out;
}

}
