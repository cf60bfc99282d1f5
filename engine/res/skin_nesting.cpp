#include "engine/res/skin_nesting.h"

#include "engine/base/stream.h"

namespace kq {

namespace {

unsigned g_depth = 0;

}

SkinNesting::SkinNesting(Stream& stream, unsigned levels) : m_levels(levels)
{
    if (levels > limit - g_depth)
        stream.error("skin data nested too deeply.");
    g_depth += levels;
}

SkinNesting::~SkinNesting()
{
    g_depth -= m_levels;
}

}
