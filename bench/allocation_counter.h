#pragma once
// Counts the calls of the global operator new in a benchmark program (allocation_counter.cpp
// replaces it), so a benchmark can report the allocations each call makes.

#include <benchmark/benchmark.h>

#include <cstddef>

namespace fuzzy::bench {

// The number of global operator new calls so far.
std::size_t AllocationCount();
// The bytes that global operator new has handed out and not yet got back, and the most there were
// since the last ResetPeakBytes.
std::size_t LiveBytes();
std::size_t PeakBytes();
void ResetPeakBytes();

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

// Reports, as the counter "peak_MB", the most memory in use at once above what was in use at its
// construction, over its lifetime; create it just before the benchmark loop.
class TPeakMemory {
 public:
  explicit TPeakMemory(benchmark::State& State) : FState(State), FStart(LiveBytes()) { ResetPeakBytes(); }
  ~TPeakMemory() { FState.counters["peak_MB"] = static_cast<double>(PeakBytes() - FStart) / 1e6; }
  TPeakMemory(const TPeakMemory&) = delete;
  TPeakMemory& operator=(const TPeakMemory&) = delete;

 private:
  benchmark::State& FState;
  std::size_t FStart;
};

}  // namespace fuzzy::bench
