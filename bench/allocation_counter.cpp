// Replaces the global operator new and delete with counting versions over malloc and free. The
// array and nothrow forms call these. Benchmarks run on one thread, so the count is a plain integer.

#include "bench/allocation_counter.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

std::size_t Allocations = 0;
// Bytes in use as malloc counts them (malloc_usable_size), so that a free subtracts what its
// allocation added.
std::size_t Live = 0;
std::size_t Peak = 0;

void Release(void* Memory) noexcept {
  if (!Memory) return;
  Live -= malloc_usable_size(Memory);
  std::free(Memory);
}

}  // namespace

namespace fuzzy::bench {

std::size_t AllocationCount() { return Allocations; }
std::size_t LiveBytes() { return Live; }
std::size_t PeakBytes() { return Peak; }
void ResetPeakBytes() { Peak = Live; }

}  // namespace fuzzy::bench

void* operator new(std::size_t Size) {
  ++Allocations;
  if (void* Memory = std::malloc(Size == 0 ? 1 : Size)) {
    Live += malloc_usable_size(Memory);
    Peak = std::max(Peak, Live);
    return Memory;
  }
  throw std::bad_alloc();
}

void operator delete(void* Memory) noexcept { Release(Memory); }

void operator delete(void* Memory, std::size_t) noexcept { Release(Memory); }
