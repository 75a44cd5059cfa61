// Degree of membership of a 7- and a 50-point set, against the peer's discrete term.

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#ifdef FUZZY_BENCH_PEER
#include "bench/peer.h"
#endif

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

void Membership(benchmark::State& State) {
  const TOwned<TFuzzySet> Set = MakeSet(Triangle(static_cast<int>(State.range(0))));
  const auto Queries = MembershipQueries();
  std::size_t Next = 0;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(Set->DegreeOfMembership(Queries[Next]));
    Next = (Next + 1) % Queries.size();
  }
}
BENCHMARK(Membership)->Arg(7)->Arg(50)->Apply(IterationCount);

#ifdef FUZZY_BENCH_PEER
void PeerMembership(benchmark::State& State) {
  const fl::Discrete Term = MakePeerTerm(Triangle(static_cast<int>(State.range(0))));
  const auto Queries = MembershipQueries();
  std::size_t Next = 0;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(Term.membership(Queries[Next]));
    Next = (Next + 1) % Queries.size();
  }
}
BENCHMARK(PeerMembership)->Arg(7)->Arg(50)->Apply(IterationCount);
#endif

}  // namespace

BENCHMARK_MAIN();
