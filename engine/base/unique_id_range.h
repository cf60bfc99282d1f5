#pragma once

#include <cstdint>

namespace kq {

/// A range of word values handed out one by one as identities that have no text and that no
/// address of the process can equal.
class UniqueIdRange {
public:
    /// The range [first, end).
    UniqueIdRange(std::uintptr_t first, std::uintptr_t end) : m_first(first), m_end(end), m_next(first) {}

    /// The next unused value; throws `CoreException` "Unique adress buffer overflow" when all
    /// are used.
    std::uintptr_t take();

    /// True when `word` lies in the range (handed out or not).
    bool contains(std::uintptr_t word) const { return word >= m_first && word < m_end; }

private:
    std::uintptr_t m_first;
    std::uintptr_t m_end;
    std::uintptr_t m_next;
};

}
