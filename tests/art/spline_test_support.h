#pragma once

// Small helpers shared by the spline tests: float vectors from lists and their comparison.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/base/vector_d.h"

namespace kq::test {

/// A float vector holding the elements.
inline VectorD<float> vec(std::initializer_list<float> elements)
{
    VectorD<float> v;
    v.resize(static_cast<std::uint32_t>(elements.size()));
    std::uint32_t i = 0;
    for (float element : elements)
        v[i++] = element;
    return v;
}

/// The elements, for comparisons and messages.
inline std::vector<float> elements(const VectorD<float>& v)
{
    return std::vector<float>(v.begin(), v.end());
}

/// Succeeds when the vectors have the same length and their elements agree within 1e-4.
inline testing::AssertionResult near(const VectorD<float>& actual, const std::vector<float>& want)
{
    bool same = actual.size() == want.size();
    for (std::uint32_t i = 0; same && i < actual.size(); ++i)
        same = std::abs(actual[i] - want[i]) <= 1e-4f;
    if (same)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(elements(actual)) << " is not "
                                       << testing::PrintToString(want);
}

inline testing::AssertionResult near(const VectorD<float>& actual, std::initializer_list<float> expected)
{
    return near(actual, std::vector<float>(expected));
}

inline testing::AssertionResult near(const VectorD<float>& actual, const VectorD<float>& expected)
{
    return near(actual, elements(expected));
}

}
