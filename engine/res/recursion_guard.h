#pragma once

#include <cstddef>
#include <set>

namespace kq {

/// Marks a step of a recursive lookup as in progress for the guard's lifetime, in the set of
/// steps of its kind. A step already in progress would repeat itself forever, and so would,
/// in practice, a chain of more than `limit` steps: then the guard does not enter.
template <class Key>
class RecursionGuard
{
public:
    /// Steps of one kind that may be in progress at once.
    static constexpr std::size_t limit = 128;

    /// Enters the step unless it is in progress already or the chain is too long.
    RecursionGuard(std::set<Key>& active, const Key& key) : m_active(active)
    {
        if (active.size() >= limit)
            return;
        auto [entry, inserted] = active.insert(key);
        if (inserted) {
            m_entry = entry;
            m_entered = true;
        }
    }
    RecursionGuard(const RecursionGuard&) = delete;
    RecursionGuard& operator=(const RecursionGuard&) = delete;
    ~RecursionGuard()
    {
        if (m_entered)
            m_active.erase(m_entry);
    }

    /// Whether the step was entered (false: the lookup would not end).
    bool entered() const { return m_entered; }

private:
    std::set<Key>& m_active;
    typename std::set<Key>::iterator m_entry;
    bool m_entered = false;
};

}
