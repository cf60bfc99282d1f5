#pragma once

// Small builders for the key controller tests.
#include <initializer_list>

#include "engine/art/key_array.h"
#include "engine/base/vector_d.h"

namespace kq::test {

/// A float vector of the values.
inline VectorD<float> floats(std::initializer_list<float> values)
{
    VectorD<float> vector;
    vector.resize(static_cast<std::uint32_t>(values.size()));
    std::uint32_t i = 0;
    for (const float value : values)
        vector[i++] = value;
    return vector;
}

/// A "float" key array of the values, with a bend.
inline KeyArray float_key(std::initializer_list<float> values, float bend = -1.0f)
{
    KeyArray array = KeyArray::floats(floats(values));
    array.bend = bend;
    return array;
}

}
