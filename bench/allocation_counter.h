#pragma once
// Counts the calls of the global operator new in a benchmark program (allocation_counter.cpp
// replaces it), so a benchmark can report the allocations each call makes.

#include <benchmark/benchmark.h>

#include <cstddef>

namespace fuzzy::bench {

// The number of global operator new calls so far.
std::size_t AllocationCount();

// Reports, as the counter "allocs", the allocations per iteration made between its construction
// and its destruction; create it just before the benchmark loop.
class TAllocationsPerCall {
 public:
  explicit TAllocationsPerCall(benchmark::State& State) : FState(State), FStart(AllocationCount()) {}
  ~TAllocationsPerCall() {
    const auto Calls = static_cast<double>(FState.iterations());
    FState.counters["allocs"] = static_cast<double>(AllocationCount() - FStart) / Calls;
  }
  TAllocationsPerCall(const TAllocationsPerCall&) = delete;
  TAllocationsPerCall& operator=(const TAllocationsPerCall&) = delete;

 private:
  benchmark::State& FState;
  std::size_t FStart;
};

}  // namespace fuzzy::bench
