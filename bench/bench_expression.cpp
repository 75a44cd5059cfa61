// Fuzzy expressions over 7-point terms, in both models: "very hot or [somewhat mild and-product
// hot]" and a chain of 20 operators (ten hedges, nine connectives, a hedge operator), evaluated
// from the text, from a postfix list made once, and done directly with the engine's own calls (a
// copy of each term a hedge changes, the hedges, the combinations). The class model's sets made
// in a call are freed within it, on every path alike.

#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

constexpr const char* Short = "very hot or [somewhat mild and-product hot]";

// The terms, all of seven points on [0, 40].
constexpr const char* Terms =
    "(deffuzzy t (range 0 40) (values (term cold (z 0 20)) (term cool (pi 5 10)) (term mild (pi 6 20))"
    " (term warm (pi 6 26)) (term hot (s 20 40))))";
const std::vector<std::string> TermNames = {"cold", "cool", "mild", "warm", "hot"};
const std::vector<TFuzzyHedge> ChainHedges = {fhVery, fhSomewhat, fhNot, fhPlus, fhExtremely};
const std::vector<TFuzzyOperation> ChainOperations = {foZadeh, foProduct, foMean, foBoundedSum};

// The 20-operator chain: "very cold or somewhat cool and-product not mild ... ^ 2".
std::string Chain() {
  std::string Text;
  for (int I = 0; I < 10; ++I) {
    if (I > 0) {
      const TFuzzyOperation Operation = ChainOperations[(I - 1) % ChainOperations.size()];
      Text += Concat({" ", I % 2 ? FuzzyUnionKeywords[Operation] : FuzzyIntersectionKeywords[Operation], " "});
    }
    Text += Concat({HedgeNames[ChainHedges[I % ChainHedges.size()]], " ", TermNames[I % TermNames.size()]});
  }
  return Text + " ^ 2";
}

template <typename TLogic>
struct TModel {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  TModel() {
    Logic->SetAutoTerms(false);
    Logic->SetParser(Parser.get());
    Parser->SetFuzzyLogic(Logic.get());
    Parser->Parse(Terms, nullptr);
  }
};

// ---- class model ----

struct TClass : TModel<TFuzzyLogic> {
  TFuzzyVariable* V = Logic->Items().Items(0);
  TFuzzySet* Term(const std::string& Name) const { return V->Items().GetItemByName(Name); }
  TFuzzySet* Copy(const std::string& Name) const {
    TFuzzySet* Set = V->Items().Add();
    Set->Assign(Term(Name));
    return Set;
  }
  // Frees the sets a call made.
  void Trim() const {
    TFuzzySets& Sets = V->Items();
    while (Sets.Count() > static_cast<int>(TermNames.size())) Sets.Items(Sets.Count() - 1)->Free();
  }
};

void ClassShortText(benchmark::State& State) {
  TClass M;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.Parser->EvalFuzzyExpression(M.V, Short));
    M.Trim();
  }
}
BENCHMARK(ClassShortText)->Arg(7)->Apply(IterationCount);

void ClassShortPostfix(benchmark::State& State) {
  TClass M;
  const IPtr<IFuzzyStreamTokenList> Postfix = M.Parser->PostfixExpression(M.Parser->ParseExpression(Short));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.Parser->EvalPostfixExpression(M.V, Postfix));
    M.Trim();
  }
}
BENCHMARK(ClassShortPostfix)->Arg(7)->Apply(IterationCount);

void ClassShortDirect(benchmark::State& State) {
  TClass M;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TFuzzySet* VeryHot = M.Copy("hot")->Hedge(fhVery);
    TFuzzySet* SomewhatMild = M.Copy("mild")->Hedge(fhSomewhat);
    benchmark::DoNotOptimize(VeryHot->Union(SomewhatMild->Intersection(M.Term("hot"), foProduct), foZadeh));
    M.Trim();
  }
}
BENCHMARK(ClassShortDirect)->Arg(7)->Apply(IterationCount);

void ClassChainText(benchmark::State& State) {
  TClass M;
  const std::string Text = Chain();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.Parser->EvalFuzzyExpression(M.V, Text));
    M.Trim();
  }
}
BENCHMARK(ClassChainText)->Arg(7)->Apply(IterationCount);

void ClassChainPostfix(benchmark::State& State) {
  TClass M;
  const IPtr<IFuzzyStreamTokenList> Postfix = M.Parser->PostfixExpression(M.Parser->ParseExpression(Chain()));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    benchmark::DoNotOptimize(M.Parser->EvalPostfixExpression(M.V, Postfix));
    M.Trim();
  }
}
BENCHMARK(ClassChainPostfix)->Arg(7)->Apply(IterationCount);

void ClassChainDirect(benchmark::State& State) {
  TClass M;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    TFuzzySet* Result = M.Copy(TermNames[0])->Hedge(ChainHedges[0]);
    for (std::size_t I = 1; I < 10; ++I) {
      TFuzzySet* Next = M.Copy(TermNames[I % TermNames.size()])->Hedge(ChainHedges[I % ChainHedges.size()]);
      const TFuzzyOperation Operation = ChainOperations[(I - 1) % ChainOperations.size()];
      Result = I % 2 ? Result->Union(Next, Operation) : Result->Intersection(Next, Operation);
    }
    benchmark::DoNotOptimize(Result->Hedge(bfhPower, 2, true));
    M.Trim();
  }
}
BENCHMARK(ClassChainDirect)->Arg(7)->Apply(IterationCount);

// ---- interface model ----

struct TInterface : TModel<TIFuzzyLogic> {
  IPtr<IFuzzyVariable> V = Logic->Items().Get("t");
  IPtr<IFuzzySet> Copy(const std::string& Name) const {
    return QueryIntf<IFuzzySet>(V->GetFuzzySetByName(Name)->Clone());
  }
};

void InterfaceShortText(benchmark::State& State) {
  TInterface M;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(M.Parser->EvalFuzzyExpression(M.V, Short));
}
BENCHMARK(InterfaceShortText)->Arg(7)->Apply(IterationCount);

void InterfaceShortPostfix(benchmark::State& State) {
  TInterface M;
  const IPtr<IFuzzyStreamTokenList> Postfix = M.Parser->PostfixExpression(M.Parser->ParseExpression(Short));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(M.Parser->EvalPostfixExpression(M.V, Postfix));
}
BENCHMARK(InterfaceShortPostfix)->Arg(7)->Apply(IterationCount);

void InterfaceShortDirect(benchmark::State& State) {
  TInterface M;
  const IPtr<IFuzzySet> Hot = M.V->GetFuzzySetByName("hot");
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    const IPtr<IFuzzySet> VeryHot = M.Copy("hot")->Hedge(fhVery);
    const IPtr<IFuzzySet> SomewhatMild = M.Copy("mild")->Hedge(fhSomewhat);
    benchmark::DoNotOptimize(VeryHot->Union(SomewhatMild->Intersection(Hot, foProduct), foZadeh));
  }
}
BENCHMARK(InterfaceShortDirect)->Arg(7)->Apply(IterationCount);

void InterfaceChainText(benchmark::State& State) {
  TInterface M;
  const std::string Text = Chain();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(M.Parser->EvalFuzzyExpression(M.V, Text));
}
BENCHMARK(InterfaceChainText)->Arg(7)->Apply(IterationCount);

void InterfaceChainPostfix(benchmark::State& State) {
  TInterface M;
  const IPtr<IFuzzyStreamTokenList> Postfix = M.Parser->PostfixExpression(M.Parser->ParseExpression(Chain()));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(M.Parser->EvalPostfixExpression(M.V, Postfix));
}
BENCHMARK(InterfaceChainPostfix)->Arg(7)->Apply(IterationCount);

void InterfaceChainDirect(benchmark::State& State) {
  TInterface M;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    IPtr<IFuzzySet> Result = M.Copy(TermNames[0])->Hedge(ChainHedges[0]);
    for (std::size_t I = 1; I < 10; ++I) {
      const IPtr<IFuzzySet> Next = M.Copy(TermNames[I % TermNames.size()])->Hedge(ChainHedges[I % ChainHedges.size()]);
      const TFuzzyOperation Operation = ChainOperations[(I - 1) % ChainOperations.size()];
      Result = I % 2 ? Result->Union(Next, Operation) : Result->Intersection(Next, Operation);
    }
    benchmark::DoNotOptimize(Result->Hedge(bfhPower, 2, true));
  }
}
BENCHMARK(InterfaceChainDirect)->Arg(7)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
