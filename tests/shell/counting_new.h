#pragma once

// Counts every heap allocation of the program that includes it: the global operator new and
// delete are replaced, so include it in exactly one source file of a program. The sanitizers
// keep their own allocator, which memory from the GL driver's libraries also goes through, so
// their builds count nothing (`counts_allocations` is false there).
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace kq::test {

inline std::atomic<std::int64_t> g_allocations{0};

#ifdef __SANITIZE_ADDRESS__
constexpr bool counts_allocations = false;
#else
constexpr bool counts_allocations = true;
#endif

/// The heap allocations made so far.
inline std::int64_t allocation_count()
{
    return g_allocations.load(std::memory_order_relaxed);
}

}

#ifndef __SANITIZE_ADDRESS__
// Inlined into a caller that allocated with `new`, the free() below looks mismatched to the
// compiler; it is the allocator's own pair.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    kq::test::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop
#endif
