// Alpha cut, cut-off and minimum correlation at 0.5 of growing zigzags; every segment crosses the
// level. Every result is built and freed within the call.

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

void AlphaCutoffZigzag(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Zigzag(static_cast<int>(State.range(0))));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) Set->AlphaCutoff(0.5, false)->Free();
}
BENCHMARK(AlphaCutoffZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

void CutoffZigzag(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Zigzag(static_cast<int>(State.range(0))));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) Set->Cutoff(0.5, true)->Free();
}
BENCHMARK(CutoffZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

// A copy clipped at 0.5: a crossing point added on every segment, then every degree written.
void CorrelateZigzag(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Zigzag(static_cast<int>(State.range(0))));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) Set->Clone()->Correlate(0.5, fcmMinimum)->Free();
}
BENCHMARK(CorrelateZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
