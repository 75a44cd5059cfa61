// Long chains of derived sets, none of whose names is read: each link is the union of the set
// before with a triangle (class model), or the accumulation of a fired rule (interface model).
// The cost of a chain grows with its length, and reading its last name costs the name's length.

#include "bench/fixtures.h"
#include "fuzzy/imodel/ifuzzy_variable.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

void ChainLengths(benchmark::internal::Benchmark* Benchmark) {
  for (int Links : {1000, 10000, 100000}) Benchmark->Arg(Links)->Unit(benchmark::kMillisecond);
  IterationCount(Benchmark);
}

// Links unions, each of the accumulation so far with a free-standing triangle; the accumulation
// before is freed once the next one exists. With ReadName the last name is read once at the end.
template <bool ReadName>
void UnionChain(benchmark::State& State) {
  const auto Links = static_cast<int>(State.range(0));
  TOwned<TFuzzySet> Term = MakeSet(Triangle(7));
  Term->SetName("warm term");
  for (auto _ : State) {
    TOwned<TFuzzySet> Accumulated = Adopt(Term->Clone());
    for (int I = 0; I < Links; ++I) Accumulated = Adopt(Accumulated->Union(Term.get()));
    if constexpr (ReadName) benchmark::DoNotOptimize(Accumulated->Name().size());
    benchmark::DoNotOptimize(Accumulated.get());
  }
  State.SetItemsProcessed(State.iterations() * Links);
}
void UnreadUnionChain(benchmark::State& State) { UnionChain<false>(State); }
void ReadLastNameOfUnionChain(benchmark::State& State) { UnionChain<true>(State); }
BENCHMARK(UnreadUnionChain)->Apply(ChainLengths);
BENCHMARK(ReadLastNameOfUnionChain)->Apply(ChainLengths);

// Links rules fired on an interfaced variable, each accumulated into the conclusion so far.
void InterfaceAssertRuleChain(benchmark::State& State) {
  const auto Links = static_cast<int>(State.range(0));
  IPtr<IFuzzyVariable> Tip = TIFuzzyVariable::Create("tip");
  Tip->SetMaximum(30);
  IPtr<IFuzzySet> Term = Tip->Add("generous");
  Term->CreateTriangleFunctionValues(10, 20, 30);
  for (auto _ : State) {
    IPtr<IFuzzySet> Accumulated;
    for (int I = 0; I < Links; ++I) Accumulated = Tip->AssertRule(0.25 + 0.5 * (I % 2), Term, Accumulated);
    benchmark::DoNotOptimize(Accumulated.Get());
  }
  State.SetItemsProcessed(State.iterations() * Links);
}
BENCHMARK(InterfaceAssertRuleChain)->Apply(ChainLengths);

}  // namespace

BENCHMARK_MAIN();
