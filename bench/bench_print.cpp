// Printing variables back as definition text: 10, 100 and 1,000 variables of 7 terms each (value
// pairs and every built-in function), in both models; the time per variable should stay flat.

#include <string>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

std::string Definitions(int Count) {
  std::string Text;
  for (int I = 0; I < Count; ++I)
    Text += Concat({"(deffuzzy v", IntToStr(I),
                    " \"a variable\" (range 0 100) (units \"per cent\") (values (term a ((0 1) (20 1) (40 0)))"
                    " (term b (tri 20 40 60)) (term c (pi 10 50)) (term d (pi 40 80 70)) (term e (s 60 100))"
                    " (term f (z 0 30)) (term g (beta 10 50 5 2))))\n"});
  return Text;
}

template <typename TLogic>
void PrintVariables(benchmark::State& State) {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  Logic->SetAutoTerms(false);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  Parser->Parse(Definitions(static_cast<int>(State.range(0))), nullptr);
  TAllocationsPerCall Allocations(State);
  std::size_t Bytes = 0;
  for (auto _ : State) {
    Bytes = 0;
    if constexpr (std::is_same_v<TLogic, TFuzzyLogic>) {
      for (const TFuzzyVariable* Variable : Logic->Items()) Bytes += Parser->PrettyPrint(Variable).size();
    } else {
      for (int I = 0; I < Logic->Items().Count(); ++I) Bytes += Parser->PrettyPrint(Logic->Items().GetItemByIndex(I)).size();
    }
    benchmark::DoNotOptimize(Bytes);
  }
  State.counters["bytes"] = static_cast<double>(Bytes);
  State.counters["per_variable"] = benchmark::Counter(static_cast<double>(State.range(0)),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

void PrintClassVariables(benchmark::State& State) { PrintVariables<TFuzzyLogic>(State); }
BENCHMARK(PrintClassVariables)->Arg(10)->Arg(100)->Arg(1000)->Apply(IterationCount);

void PrintInterfaceVariables(benchmark::State& State) { PrintVariables<TIFuzzyLogic>(State); }
BENCHMARK(PrintInterfaceVariables)->Arg(10)->Arg(100)->Arg(1000)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
