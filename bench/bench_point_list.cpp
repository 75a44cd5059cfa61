// The point list at growing sizes: points written one by one outside an update bracket (ascending
// and descending X), the clean-up at the end of a bracket (sorting shuffled points, removing
// duplicates), and resampling (Expand, ExpandSimple). Each call builds and frees its own list, and
// reports its point count as the counter "units", so that run.sh can give instructions per point.

#include <algorithm>
#include <random>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

// Sizes of the families whose cost per point must stay flat.
void ListSizes(benchmark::internal::Benchmark* Benchmark) {
  for (int Points : {10, 1000, 4000, 25000, 100000}) Benchmark->Arg(Points);
}

// Points written one by one: each write may move its point past all others, so the cost per point
// grows with the list (one pass per write).
void InsertSizes(benchmark::internal::Benchmark* Benchmark) {
  for (int Points : {10, 1000, 2000, 4000, 25000}) Benchmark->Arg(Points);
}

// Each point added with Add(X, Y), outside a bracket, so that every write puts it in place. The
// degrees alternate, so that no two neighbours merge.
template <typename TX>
void AddOneByOne(benchmark::State& State, TX X) {
  const int Points = static_cast<int>(State.range(0));
  State.counters["units"] = Points;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
    for (int I = 0; I < Points; ++I) Set->Values().Add(X(I, Points), I % 2);
    benchmark::DoNotOptimize(Set->Values().Count());
  }
}

void AscendingInserts(benchmark::State& State) {
  AddOneByOne(State, [](int I, int) { return static_cast<TFzyFloat>(I); });
}
BENCHMARK(AscendingInserts)->Apply(InsertSizes)->Apply(IterationCount);

void DescendingInserts(benchmark::State& State) {
  AddOneByOne(State, [](int I, int Points) { return static_cast<TFzyFloat>(Points - I); });
}
BENCHMARK(DescendingInserts)->Apply(InsertSizes)->Apply(IterationCount);

// Points added in shuffled X order inside a bracket: the closing clean-up sorts them.
void SortShuffled(benchmark::State& State) {
  const int Points = static_cast<int>(State.range(0));
  std::vector<int> Order(static_cast<std::size_t>(Points));
  for (int I = 0; I < Points; ++I) Order[static_cast<std::size_t>(I)] = I;
  std::shuffle(Order.begin(), Order.end(), std::mt19937(7));
  State.counters["units"] = Points;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
    {
      TUpdateBracket Bracket(Set->Values());
      for (int X : Order) Set->Values().Add(X, X % 2);
    }
    benchmark::DoNotOptimize(Set->Values().Count());
  }
}
BENCHMARK(SortShuffled)->Apply(ListSizes)->Apply(IterationCount);

// Every point written twice (a duplicate of its neighbour) inside a bracket: the closing clean-up
// removes the twins.
void RemoveDuplicates(benchmark::State& State) {
  const int Points = static_cast<int>(State.range(0));
  State.counters["units"] = Points;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
    {
      TUpdateBracket Bracket(Set->Values());
      for (int I = 0; I < Points; ++I) Set->Values().Add()->SetValue(I / 2, (I / 2) % 2);
    }
    benchmark::DoNotOptimize(Set->Values().Count());
  }
}
BENCHMARK(RemoveDuplicates)->Apply(ListSizes)->Apply(IterationCount);

// A three-point triangle resampled to the given count.
template <typename TExpand>
void Resample(benchmark::State& State, TExpand Expand) {
  const int Points = static_cast<int>(State.range(0));
  State.counters["units"] = Points;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TOwned<TFuzzySet> Set = MakeSet({{0, 0}, {10, 1}, {30, 0}});
    Expand(Set->Values(), Points);
    benchmark::DoNotOptimize(Set->Values().Count());
  }
}

void Expand(benchmark::State& State) {
  Resample(State, [](TFuzzySetValues& Values, int Points) { Values.Expand(Points); });
}
BENCHMARK(Expand)->Apply(ListSizes)->Apply(IterationCount);

void ExpandSimple(benchmark::State& State) {
  Resample(State, [](TFuzzySetValues& Values, int Points) { Values.ExpandSimple(Points); });
}
BENCHMARK(ExpandSimple)->Apply(ListSizes)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
