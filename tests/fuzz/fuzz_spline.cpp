// Reads any input as a spline's binary or text form, then evaluates, tracks and stores what was
// read. The first byte picks the kind and the form. Stream errors are expected exceptions;
// anything else (a crash, a hang, a sanitizer report, a stored form that does not read back to
// the same bytes) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/art/art_types.h"
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_curve.h"
#include "engine/art/spline_linear.h"
#include "engine/base/base_types.h"
#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

namespace kq::fuzz {

// Asks the spline for values, nearest keys and a tracker's walk over its whole range.
template <class S>
void exercise(const S& spline)
{
    if (spline.empty())
        return;
    const float first = spline.first_time();
    const float last = spline.last_time();
    const float span = last - first;
    for (int i = -1; i <= 9; ++i) {
        const float t = first + span * static_cast<float>(i) / 8.0f;
        spline.value(t);
        spline.nearest_time(t);
    }
    if (const auto tracker = spline.create_tracker()) {
        for (int i = 0; i < 16; ++i) {
            tracker->advance(span / 16.0f);
            tracker->value();
        }
        tracker->at_end();
    }
}

template <class S>
std::string stored(const S& spline)
{
    StringBuffer buffer;
    BStream stream(buffer);
    spline.store(stream);
    return buffer.str();
}

// What was read stores to bytes that read back to the same spline.
template <class S>
void check_round_trip(const S& spline)
{
    const std::string bytes = stored(spline);
    S again;
    StringBuffer buffer(bytes);
    BStream stream(buffer);
    again.load(stream);
    if (stored(again) != bytes)
        std::abort();
}

template <class S>
void read_binary_form(const std::string& input)
{
    S spline;
    try {
        StringBuffer buffer(input);
        BStream stream(buffer);
        spline.load(stream);
    } catch (const Exception&) {
    }
    exercise(spline);
    check_round_trip(spline);
}

template <class S>
void read_text_form(const std::string& input)
{
    S spline;
    try {
        StringStream stream(input);
        spline.read_text(stream);
    } catch (const Exception&) {
    }
    exercise(spline);
    check_round_trip(spline);
    StringStream out;
    spline.write_text(out);
}

// A spline met as a polymorphic reference, created by its registered name.
void read_object(const std::string& input)
{
    try {
        StringBuffer buffer(input);
        BStream stream(buffer);
        SharedPtr<Spline<float, VectorD<float>>> spline;
        read_binary(stream, spline);
        if (spline)
            exercise(*spline);
    } catch (const Exception&) {
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kq;
    static const bool registered = [] {
        register_base_types();
        register_art_types();
        return true;
    }();
    (void)registered;
    if (size == 0)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 10) {
    case 0: fuzz::read_binary_form<LinearSpline<float, VectorD<float>>>(input); break;
    case 1: fuzz::read_binary_form<CurveSpline<float, VectorD<float>>>(input); break;
    case 2: fuzz::read_binary_form<CubicSpline<float, VectorD<float>>>(input); break;
    case 3: fuzz::read_binary_form<LinearSpline<float, Vector2<float>>>(input); break;
    case 4: fuzz::read_binary_form<CubicSpline<float, Vector2<float>>>(input); break;
    case 5: fuzz::read_binary_form<LinearSpline<float, Color>>(input); break;
    case 6: fuzz::read_text_form<LinearSpline<float, VectorD<float>>>(input); break;
    case 7: fuzz::read_text_form<LinearSpline<float, Vector2<float>>>(input); break;
    case 8: fuzz::read_text_form<LinearSpline<float, Color>>(input); break;
    default: fuzz::read_object(input); break;
    }
    return 0;
}
