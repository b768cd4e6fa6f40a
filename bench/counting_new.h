#pragma once
// Heap allocations counted in a benchmark binary: the binary's replacement of the
// global operator new counts each one. Include it in exactly one source file of a
// binary (a replacement is defined once per program).

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace tracewell::bench {
inline std::atomic<std::uint64_t> g_allocations{0};

// Allocations so far, on any thread.
inline std::uint64_t Allocations() { return g_allocations.load(std::memory_order_relaxed); }
}  // namespace tracewell::bench

// Replacement allocation functions that count; the compiler cannot see that the
// replaced new and these deletes pair up, so its mismatch warning is silenced here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  tracewell::bench::g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
