// Replaces the global operator new and delete with counting versions over malloc and free. The
// array and nothrow forms call these. Benchmarks run on one thread, so the count is a plain integer.

#include "bench/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t Allocations = 0;

}  // namespace

namespace fuzzy::bench {

std::size_t AllocationCount() { return Allocations; }

}  // namespace fuzzy::bench

void* operator new(std::size_t Size) {
  ++Allocations;
  if (void* Memory = std::malloc(Size == 0 ? 1 : Size)) return Memory;
  throw std::bad_alloc();
}

void operator delete(void* Memory) noexcept { std::free(Memory); }

void operator delete(void* Memory, std::size_t) noexcept { std::free(Memory); }
