#pragma once

#include <cstddef>
#include <list>
#include <unordered_map>

#include "engine/base/shared_ptr.h"
#include "engine/host/system/assert.h"

namespace kq {

/// An owning, ordered list of tree members that stays sound while it is walked and changed
/// from inside the walk: an entry removed during a walk is only emptied (and released), and
/// the empty places are dropped when the outermost walk ends; an entry added during a walk is
/// reached by that walk when it lies after the walk's position. Members are indexed by
/// address, so membership, appending and removal take constant time however long the list.
template <class T>
class SpriteList
{
public:
    using Entries = std::list<SharedPtr<T>>;
    using Position = typename Entries::iterator;

    SpriteList() = default;
    SpriteList(const SpriteList&) = delete;
    SpriteList& operator=(const SpriteList&) = delete;

    /// Calls `visit` on each member in order. The visited member is held for the duration of
    /// its visit, so a visit may remove it (or anything else) safely.
    template <class Visit>
    void walk(Visit visit)
    {
        ++m_walks;
        try {
            for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
                if (!*entry)
                    continue;
                const SharedPtr<T> held = *entry;
                visit(held);
            }
        } catch (...) {
            end_walk();
            throw;
        }
        end_walk();
    }

    /// Whether the object is a member.
    bool contains(const T* object) const { return m_index.count(object) != 0; }
    /// The number of members.
    std::size_t size() const { return m_entries.size() - m_holes; }
    /// Whether there is no member.
    bool empty() const { return size() == 0; }
    /// The first member, or null.
    T* front() const
    {
        for (const SharedPtr<T>& entry : m_entries)
            if (entry)
                return entry.get();
        return nullptr;
    }
    /// The member after `object`, or null when it is last or not a member.
    T* next(const T* object) const
    {
        const auto found = m_index.find(object);
        if (found == m_index.end())
            return nullptr;
        for (auto entry = std::next(found->second); entry != m_entries.end(); ++entry)
            if (*entry)
                return entry->get();
        return nullptr;
    }

    /// Appends an object that is not a member yet.
    void push_back(SharedPtr<T> object) { insert(m_entries.end(), std::move(object)); }
    /// Inserts an object that is not a member yet before the first member that `before`
    /// accepts, else at the end.
    template <class Before>
    void insert_before(SharedPtr<T> object, Before before)
    {
        auto entry = m_entries.begin();
        while (entry != m_entries.end() && !(*entry && before(entry->get())))
            ++entry;
        insert(entry, std::move(object));
    }
    /// Removes a member, releasing the list's hold; false when it is not a member.
    bool erase(const T* object)
    {
        const auto found = m_index.find(object);
        if (found == m_index.end())
            return false;
        const Position entry = found->second;
        m_index.erase(found);
        remove(entry);
        return true;
    }
    /// Removes every member.
    void clear()
    {
        if (m_walks == 0) {
            // Released after the list is empty, so that no member's destructor meets it.
            Entries released;
            released.swap(m_entries);
            m_index.clear();
            m_holes = 0;
            return;
        }
        m_index.clear();
        for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry)
            if (*entry)
                remove(entry);
    }

private:
    void insert(Position at, SharedPtr<T> object)
    {
        const T* key = object.get();
        KQ_ASSERT(key && !contains(key));
        m_index.emplace(key, m_entries.insert(at, std::move(object)));
    }

    void remove(Position entry)
    {
        if (m_walks > 0) {
            ++m_holes;
            // Emptied before release, so that the member's destructor meets a list without it.
            const SharedPtr<T> released = *entry;
            entry->reset();
        } else {
            Entries released;
            released.splice(released.begin(), m_entries, entry);
        }
    }

    void end_walk()
    {
        if (--m_walks > 0 || m_holes == 0)
            return;
        m_entries.remove_if([](const SharedPtr<T>& entry) { return !entry; });
        m_holes = 0;
    }

    Entries m_entries;
    std::unordered_map<const T*, Position> m_index;  // every member's place in m_entries
    int m_walks = 0;
    std::size_t m_holes = 0;
};

}
