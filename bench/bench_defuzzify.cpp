// Centre of gravity of the 7-point triangle against the peer's centroid at resolution 100 on the
// same shape and range (both report their answer as the counter "answer"), and both defuzzifiers
// over growing zigzags.

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#ifdef FUZZY_BENCH_PEER
#include "bench/peer.h"
#endif

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

void CenterOfGravityTriangle(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Triangle(static_cast<int>(State.range(0))));
  State.counters["answer"] = Set->CenterOfGravity();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(Set->CenterOfGravity());
}
BENCHMARK(CenterOfGravityTriangle)->Arg(7)->Apply(IterationCount);

void CenterOfGravityZigzag(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Zigzag(static_cast<int>(State.range(0))));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(Set->CenterOfGravity());
}
BENCHMARK(CenterOfGravityZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

void MeanOfMaximaZigzag(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Zigzag(static_cast<int>(State.range(0))));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(Set->MeanOfMaxima());
}
BENCHMARK(MeanOfMaximaZigzag)->Apply(GrowthSizes)->Apply(IterationCount);

#ifdef FUZZY_BENCH_PEER
void PeerCenterOfGravityTriangle(benchmark::State& State) {
  const fl::Discrete Term = MakePeerTerm(Triangle(static_cast<int>(State.range(0))));
  const fl::Centroid Centroid(100);
  auto Answer = [&] { return Centroid.defuzzify(&Term, RangeMinimum, RangeMaximum); };
  State.counters["answer"] = Answer();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(Answer());
}
BENCHMARK(PeerCenterOfGravityTriangle)->Arg(7)->Apply(IterationCount);
#endif

}  // namespace

BENCHMARK_MAIN();
