// Counts heap allocations so that a benchmark can report how many a frame
// makes (steady-state frames must make none).
//
// This header REPLACES the global operator new/delete. A replacement must be
// defined exactly once per program and may not be inline, so include this
// header from exactly one translation unit of a program. Every benchmark
// program is built from a single bench_*.cpp, which includes it once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace quolis::bench {

inline std::atomic<long long> g_allocations{0};

// Heap allocations made through operator new since the program started.
inline long long AllocationCount() {
    return g_allocations.load(std::memory_order_relaxed);
}

// Kept out of line so that the compiler does not pair a visible malloc with
// an inlined operator delete (and the other way round).
[[gnu::noinline]] inline void* Allocate(std::size_t n) {
    return std::malloc(n == 0 ? 1 : n);
}
[[gnu::noinline]] inline void Deallocate(void* p) {
    std::free(p);
}

} // namespace quolis::bench

void* operator new(std::size_t n) {
    quolis::bench::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = quolis::bench::Allocate(n)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    quolis::bench::Deallocate(p);
}
void operator delete[](void* p) noexcept {
    quolis::bench::Deallocate(p);
}
void operator delete(void* p, std::size_t) noexcept {
    quolis::bench::Deallocate(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    quolis::bench::Deallocate(p);
}
