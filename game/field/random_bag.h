#pragma once

#include <vector>

namespace kq {

/// Draws indices as evenly spread as their weights allow: each draw takes, at random, one of
/// the entries with the least accumulated value and adds its weight to it. With equal
/// weights it deals a shuffled deck: every index once before any index again. An entry of
/// weight 0 is never drawn.
class RandomBag
{
public:
    /// n entries of weight 1, none drawn yet.
    void reset_uniform(int n);
    /// The weights, none drawn yet.
    void set_weights(std::vector<float> weights);
    /// The next index, or -1 when no entry can be drawn.
    int next();

    const std::vector<float>& weights() const { return m_weights; }

private:
    std::vector<float> m_accumulated;
    std::vector<float> m_weights;
};

}
