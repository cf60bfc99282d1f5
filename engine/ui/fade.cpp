#include "engine/ui/fade.h"

namespace kq {

Fade::Fade(int in_ms, int out_ms)
{
    if (in_ms <= 0 && out_ms <= 0)
        return;
    m_curve.set_key(0.0f, Color{1, 1, 1, 1});
    m_curve.set_key(static_cast<float>(in_ms * 0.001), Color{0, 0, 0, 1});
    m_curve.set_key(static_cast<float>((in_ms + out_ms) * 0.001), Color{0, 0, 0, 0});
}

}
