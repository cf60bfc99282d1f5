// Reads any input as a curve file, or as a segment list when the first byte is odd, then
// measures what was read and asks a target for points along it. Stream errors are expected
// exceptions; anything else (another exception, a crash, a hang, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "game/field/effects/curve_particle_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kq;
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<CurveSegment> segments;
    try {
        StringStream stream(text);
        if (data[0] & 1)
            read_curve_list(stream, segments);
        else
            read_curve_file(stream, segments);
    } catch (const IOException&) {
    }
    CurveParticleTarget target;
    target.set_segments(segments);
    Vector2<float> point;
    for (std::int32_t key = -1; key <= CurveParticleTarget::key_count; key += 1000)
        target.target_point(key, point);
    target.set_transform(Transform::compose({2, 2}, 1, {3, 4}));
    target.target_point(target.next_index(), point);
    return 0;
}
