// The whole rule cycle of the tipping problem through the public API (set the two inputs, fire the
// three rules, accumulate, defuzzify, free what was made), and the peer's process() of the same
// engine (triangle terms, minimum/maximum, centroid at its default resolution 100).
//
// With --compare the program prints both answers over a grid of inputs and the largest absolute
// difference instead of benchmarking.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "examples/tipping.h"
#ifdef FUZZY_BENCH_PEER
#include <fl/Headers.h>
#endif

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

// The inputs cycle through a grid, so every call fires a different mix of rules.
constexpr double Grid[] = {0, 1.5, 3, 4.5, 6, 7.5, 9, 10};
constexpr int GridSize = sizeof Grid / sizeof Grid[0];

void RuleCycleTipping(benchmark::State& State) {
  examples::TTipper Tipper;
  TAllocationsPerCall Allocations(State);
  int Step = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Tipper.Tip(Grid[Step % GridSize], Grid[(Step / GridSize) % GridSize]));
    ++Step;
  }
}
BENCHMARK(RuleCycleTipping)->Apply(IterationCount);

// The same cycle with the interface model: counted sets, released instead of freed.
void RuleCycleTippingInterfaces(benchmark::State& State) {
  examples::TITipper Tipper;
  TAllocationsPerCall Allocations(State);
  int Step = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Tipper.Tip(Grid[Step % GridSize], Grid[(Step / GridSize) % GridSize]));
    ++Step;
  }
}
BENCHMARK(RuleCycleTippingInterfaces)->Apply(IterationCount);

// Blocks of the three tipping rules whose conclusions lie side by side, each block on its own 30
// units of a wider tip variable: the accumulated set grows by one conclusion per rule. Each call
// fires every rule (its strength measured afresh), accumulates and defuzzifies, as the tipping
// cycle does. Every accumulation makes a new set of all the points so far, so the work grows with
// the square of the rules: the counter "units" is the number of points the accumulations make,
// "rules" the number of rules.
class TRuleBlocks {
 public:
  explicit TRuleBlocks(int Rules) : FLogic(MakeOwned<TFuzzyLogic>(nullptr)) {
    FLogic->SetAutoTerms(false);
    auto AddVariable = [&](const char* Name, TFzyFloat Maximum) {
      TFuzzyVariable* Variable = FLogic->Items().Add(Name);
      Variable->SetMaximum(Maximum);
      return Variable;
    };
    auto AddTerm = [](TFuzzyVariable* Variable, const examples::TTippingTerm& Term, TFzyFloat Shift) {
      TFuzzySet* Set = Variable->Items().Add(std::string(Term.Name) + (Shift > 0 ? std::to_string(int(Shift)) : ""));
      Set->CreateTriangleFunctionValues(Term.Left + Shift, Term.Middle + Shift, Term.Right + Shift);
      return Set;
    };
    TFuzzyVariable* Service = AddVariable("service", examples::ServiceMaximum);
    TFuzzyVariable* Food = AddVariable("food", examples::FoodMaximum);
    const int Blocks = (Rules + 2) / 3;
    TFuzzyVariable* Tip = AddVariable("tip", examples::TipMaximum * Blocks);
    for (const examples::TTippingTerm& T : examples::ServiceTerms) FService.push_back(AddTerm(Service, T, 0));
    for (const examples::TTippingTerm& T : examples::FoodTerms) FFood.push_back(AddTerm(Food, T, 0));
    for (int Block = 0; Block < Blocks; ++Block)
      for (const examples::TTippingTerm& T : examples::TipTerms)
        if (static_cast<int>(FConclusions.size()) < Rules)
          FConclusions.push_back(AddTerm(Tip, T, examples::TipMaximum * Block));
    FServiceInput = Service->Items().Add("");
    FFoodInput = Food->Items().Add("");
    FTip = Tip;
  }

  // PointsMade, when given, receives the number of points of all accumulated sets.
  TFzyFloat Tip(TFzyFloat Service, TFzyFloat Food, int* PointsMade = nullptr) {
    FServiceInput->CreateCrispValue(Service);
    FFoodInput->CreateCrispValue(Food);
    TFuzzySet* Accumulated = nullptr;
    for (std::size_t Rule = 0; Rule < FConclusions.size(); ++Rule) {
      TFzyFloat Strength = 0;
      switch (Rule % 3) {
        case 0:
          Strength = std::max(FService[0]->GetCorrelationStrength(FServiceInput),
                              FFood[0]->GetCorrelationStrength(FFoodInput));
          break;
        case 1:
          Strength = FService[1]->GetCorrelationStrength(FServiceInput);
          break;
        default:
          Strength = std::max(FService[2]->GetCorrelationStrength(FServiceInput),
                              FFood[1]->GetCorrelationStrength(FFoodInput));
      }
      if (TFuzzySet* Result = FTip->AssertRule(Strength, FConclusions[Rule], Accumulated)) {
        if (Accumulated) Accumulated->Free();
        Accumulated = Result;
        if (PointsMade) *PointsMade += Accumulated->Values().Count();
      }
    }
    if (!Accumulated) return 0;
    const TFzyFloat Result = Accumulated->Defuzzify();
    Accumulated->Free();
    return Result;
  }

 private:
  TOwned<TFuzzyLogic> FLogic;
  TFuzzyVariable* FTip;
  TFuzzySet* FServiceInput;
  TFuzzySet* FFoodInput;
  std::vector<TFuzzySet*> FService, FFood, FConclusions;
};

void RuleAccumulation(benchmark::State& State) {
  TRuleBlocks Blocks(static_cast<int>(State.range(0)));
  // Inputs (service, food) that fire all three rules of every block.
  constexpr double Inputs[][2] = {{3, 7.5}, {6, 4.5}, {7.5, 3}, {4.5, 6}};
  int PointsMade = 0;
  for (const auto& [Service, Food] : Inputs) Blocks.Tip(Service, Food, &PointsMade);
  State.counters["units"] = PointsMade / static_cast<double>(std::size(Inputs));
  State.counters["rules"] = static_cast<double>(State.range(0));
  TAllocationsPerCall Allocations(State);
  std::size_t Step = 0;
  for (auto _ : State) {
    const auto& [Service, Food] = Inputs[Step++ % std::size(Inputs)];
    benchmark::DoNotOptimize(Blocks.Tip(Service, Food));
  }
}
BENCHMARK(RuleAccumulation)->Arg(3)->Arg(30)->Arg(300)->Arg(3000)->Apply(IterationCount);

#ifdef FUZZY_BENCH_PEER
// The same engine in the peer library.
class TPeerTipper {
 public:
  TPeerTipper() {
    FService = AddInput("service", examples::ServiceMaximum, examples::ServiceTerms);
    FFood = AddInput("food", examples::FoodMaximum, examples::FoodTerms);
    FTip = new fl::OutputVariable("tip", 0, examples::TipMaximum);
    FTip->setAggregation(new fl::Maximum);
    FTip->setDefuzzifier(new fl::Centroid(100));
    for (const examples::TTippingTerm& T : examples::TipTerms)
      FTip->addTerm(new fl::Triangle(T.Name, T.Left, T.Middle, T.Right));
    FEngine.addOutputVariable(FTip);
    auto* Rules = new fl::RuleBlock;
    Rules->setConjunction(new fl::Minimum);
    Rules->setDisjunction(new fl::Maximum);
    Rules->setImplication(new fl::Minimum);
    Rules->setActivation(new fl::General);
    for (const char* Rule :
         {"if service is poor or food is rancid then tip is cheap", "if service is good then tip is average",
          "if service is excellent or food is delicious then tip is generous"})
      Rules->addRule(fl::Rule::parse(Rule, &FEngine));
    FEngine.addRuleBlock(Rules);
  }

  double Tip(double Service, double Food) {
    FService->setValue(Service);
    FFood->setValue(Food);
    FEngine.process();
    return FTip->getValue();
  }

 private:
  template <typename TTerms>
  fl::InputVariable* AddInput(const char* Name, double Maximum, const TTerms& Terms) {
    auto* Variable = new fl::InputVariable(Name, 0, Maximum);
    for (const examples::TTippingTerm& T : Terms)
      Variable->addTerm(new fl::Triangle(T.Name, T.Left, T.Middle, T.Right));
    FEngine.addInputVariable(Variable);
    return Variable;
  }

  fl::Engine FEngine;
  fl::InputVariable* FService;
  fl::InputVariable* FFood;
  fl::OutputVariable* FTip;
};

void PeerRuleCycleTipping(benchmark::State& State) {
  TPeerTipper Tipper;
  TAllocationsPerCall Allocations(State);
  int Step = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Tipper.Tip(Grid[Step % GridSize], Grid[(Step / GridSize) % GridSize]));
    ++Step;
  }
}
BENCHMARK(PeerRuleCycleTipping)->Apply(IterationCount);
#endif

// Prints ours and the peer's answer for every pair of grid inputs, and the largest difference.
int Compare() {
#ifdef FUZZY_BENCH_PEER
  examples::TTipper Ours;
  TPeerTipper Peer;
  double Largest = 0;
  std::printf("| service | food | ours | peer | difference |\n|---:|---:|---:|---:|---:|\n");
  for (double Service : Grid)
    for (double Food : Grid) {
      const double A = Ours.Tip(Service, Food);
      const double B = Peer.Tip(Service, Food);
      Largest = std::max(Largest, std::fabs(A - B));
      std::printf("| %.1f | %.1f | %.6f | %.6f | %.2e |\n", Service, Food, A, B, std::fabs(A - B));
    }
  std::printf("\nLargest absolute difference over the grid: %.2e\n", Largest);
#else
  std::printf("fuzzylite is not installed: nothing to compare with\n");
#endif
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--compare") == 0) return Compare();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
