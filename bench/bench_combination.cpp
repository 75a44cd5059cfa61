// Union and intersection (Zadeh) of two crossing 7-point triangles, the union and the correlation
// strength (the walk alone, nothing built) of two zigzags that cross every other step, at growing
// sizes. Every result is built and freed within the call.

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

// Builds and frees Combine(A, B) of two triangles of n points, the second 8 to the right so that
// the falling side of the first crosses the rising side of the second between breakpoints.
// Reports the number of points of the result as the counters "points" and "units".
template <typename TCombine>
void CombineTriangles(benchmark::State& State, TCombine Combine) {
  const TOwned<TFuzzySet> A = MakeSet(Triangle(static_cast<int>(State.range(0))));
  const TOwned<TFuzzySet> B = MakeSet(Triangle(static_cast<int>(State.range(0)), 8));
  State.counters["points"] = State.counters["units"] = Adopt(Combine(*A, *B))->Values().Count();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) Combine(*A, *B)->Free();
}

// From 7 points (the shape of the other benchmarks) to sizes past the memory recycled per thread.
// (Much longer triangles rise by less than the tolerance from point to point, so that their union
// is one level run; the zigzags below go to 100,000 points.)
void UnionTriangles(benchmark::State& State) {
  CombineTriangles(State, [](const TFuzzySet& A, const TFuzzySet& B) { return A.Union(&B); });
}
BENCHMARK(UnionTriangles)->Arg(7)->Arg(8)->Arg(64)->Arg(512)->Arg(4096)->Apply(IterationCount);

void IntersectionTriangles(benchmark::State& State) {
  CombineTriangles(State, [](const TFuzzySet& A, const TFuzzySet& B) { return A.Intersection(&B); });
}
BENCHMARK(IntersectionTriangles)->Arg(7)->Apply(IterationCount);

void UnionZigzag(benchmark::State& State) {
  const int Points = static_cast<int>(State.range(0));
  const TOwned<TFuzzySet> A = MakeSet(Zigzag(Points));
  const TOwned<TFuzzySet> B = MakeSet(Zigzag(Points, 0.5, true));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) A->Union(B.get())->Free();
}
BENCHMARK(UnionZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

void CorrelationStrengthZigzag(benchmark::State& State) {
  const int Points = static_cast<int>(State.range(0));
  const TOwned<TFuzzySet> A = MakeSet(Zigzag(Points));
  const TOwned<TFuzzySet> B = MakeSet(Zigzag(Points, 0.5, true));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(A->GetCorrelationStrength(B.get()));
}
BENCHMARK(CorrelationStrengthZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
