#include "game/field/random_bag.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/base/math_utils.h"

namespace kq {

void RandomBag::reset_uniform(int n)
{
    m_weights.assign(std::size_t(std::max(n, 0)), 1.0f);
    m_accumulated.assign(m_weights.size(), 0.0f);
}

void RandomBag::set_weights(std::vector<float> weights)
{
    m_weights = std::move(weights);
    m_accumulated.assign(m_weights.size(), 0.0f);
}

int RandomBag::next()
{
    std::vector<int> candidates;
    float least = 0.0f;
    for (std::size_t i = 0; i < m_weights.size(); ++i) {
        if (is_zero(m_weights[i]))
            continue;
        if (candidates.empty() || m_accumulated[i] < least) {
            candidates.clear();
            least = m_accumulated[i];
        }
        if (m_accumulated[i] == least)
            candidates.push_back(int(i));
    }
    if (candidates.empty())
        return -1;
    const int chosen = candidates[random_int(int(candidates.size()))];
    m_accumulated[chosen] += m_weights[chosen];
    return chosen;
}

}
