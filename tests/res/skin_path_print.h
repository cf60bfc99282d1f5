#pragma once

#include <ostream>

#include "engine/res/skin_path.h"

namespace kq {

/// Shows a path in test failures by its dotted text.
inline void PrintTo(const SkinPath& path, std::ostream* out)
{
    *out << '"' << path.text() << '"';
}

}
