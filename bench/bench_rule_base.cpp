// Rule systems: the tipping system of the peer library's own example (service triangles, food
// trapezoids, tip triangles; min-max; centroid) through the object path (TFuzzySystem::Run), the
// compiled evaluator and the peer's process(), at service 3, food 8 (all three rules fire) and over
// a sweep of inputs; the evaluator's growth with the number of rules and inputs; and a batch of
// 10^6 rows on one and on two threads that share one evaluator; and reading the tipping system of
// examples/tipping_system.fzs (the same shapes) from its text, whole and without its rules.
//
// With --compare the program prints the tipping answers of the three over the sweep instead.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/rules/fuzzy_system_reader.h"
#ifdef FUZZY_BENCH_PEER
#include <fl/Headers.h>
#endif

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

// ---- a system described once, built for both libraries --------------------------------------

struct TShapeTerm {
  std::string Name;
  TShape Points;     // ours
  std::string Peer;  // the peer's term class: "Triangle" or "Trapezoid"
  std::vector<double> Vertices;
};
struct TVariableShape {
  std::string Name;
  double Minimum, Maximum;
  std::vector<TShapeTerm> Terms;
};
struct TRuleShape {
  std::vector<std::pair<int, int>> Clauses;  // (input, term)
  bool Or;                                   // every connective "or" (else "and")
  int Output, Term;
};
struct TSystemShape {
  std::vector<TVariableShape> Inputs, Outputs;
  std::vector<TRuleShape> Rules;
};

std::string Named(std::string Prefix, int Number) { return Prefix.append(std::to_string(Number)); }

TShapeTerm Triangle(const std::string& Name, double A, double B, double C) {
  TShape Points;
  if (A < B) Points.push_back({A, 0});
  Points.push_back({B, 1});
  if (B < C) Points.push_back({C, 0});
  if (A == B) Points.insert(Points.begin(), {A, 0});  // a vertical left edge, as the shape makes it
  if (B == C) Points.push_back({C, 0});
  return {Name, Points, "Triangle", {A, B, C}};
}

TShapeTerm Trapezoid(const std::string& Name, double A, double B, double C, double D) {
  TShape Points;
  if (A < B) Points.push_back({A, 0});
  Points.push_back({B, 1});
  Points.push_back({C, 1});
  if (C < D) Points.push_back({D, 0});
  return {Name, Points, "Trapezoid", {A, B, C, D}};
}

// The peer's tipper: the shapes of its own example.
TSystemShape TippingShape() {
  TSystemShape S;
  S.Inputs.push_back(
      {"service",
       0,
       10,
       {Triangle("poor", 0, 0, 5), Triangle("good", 0, 5, 10), Triangle("excellent", 5, 10, 10)}});
  S.Inputs.push_back(
      {"food", 0, 10, {Trapezoid("rancid", 0, 0, 1, 3), Trapezoid("delicious", 7, 9, 10, 10)}});
  S.Outputs.push_back(
      {"tip",
       0,
       30,
       {Triangle("cheap", 0, 5, 10), Triangle("average", 10, 15, 20), Triangle("generous", 20, 25, 30)}});
  S.Rules = {{{{0, 0}, {1, 0}}, true, 0, 0}, {{{0, 1}}, false, 0, 1}, {{{0, 2}, {1, 1}}, true, 0, 2}};
  return S;
}

// Rules over Inputs inputs of five triangles each and one output of seven: each rule joins one to
// four clauses by "and" or by "or".
TSystemShape ScalingShape(int Rules, int Inputs) {
  TSystemShape S;
  std::mt19937 Random(static_cast<unsigned>(Rules * 31 + Inputs));
  auto Terms = [](int Count, double Width) {
    std::vector<TShapeTerm> List;
    const double Step = Width / (Count - 1);
    for (int T = 0; T < Count; ++T)
      List.push_back(
          Triangle(Named("t", T), std::max(0.0, (T - 1) * Step), T * Step, std::min(Width, (T + 1) * Step)));
    return List;
  };
  for (int I = 0; I < Inputs; ++I) S.Inputs.push_back({Named("in", I), 0, 10, Terms(5, 10)});
  S.Outputs.push_back({"out", 0, 30, Terms(7, 30)});
  for (int R = 0; R < Rules; ++R) {
    TRuleShape Rule{{}, Random() % 2 == 0, 0, static_cast<int>(Random() % 7)};
    for (int C = 1 + static_cast<int>(Random() % 4); C > 0; --C)
      Rule.Clauses.push_back(
          {static_cast<int>(Random() % static_cast<unsigned>(Inputs)), static_cast<int>(Random() % 5)});
    S.Rules.push_back(Rule);
  }
  return S;
}

// The peer fires every rule, however weak: so does the system here, with the threshold 0.
TOwned<TFuzzySystem> MakeSystem(const TSystemShape& Shape) {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  System->Logic().SetAutoTerms(false);
  System->Logic().SetThreshold(0);
  auto Add = [&](const TVariableShape& V) {
    TFuzzyVariable* Variable = System->Logic().Items().Add(V.Name);
    Variable->SetMaximum(V.Maximum);
    Variable->SetMinimum(V.Minimum);
    for (const TShapeTerm& T : V.Terms) {
      TFuzzySet* Set = Variable->Items().Add(T.Name);
      TUpdateBracket Bracket(Set->Values());
      for (const auto& [X, Y] : T.Points) Set->Values().Add(X, Y);
    }
    return Variable;
  };
  std::vector<TFuzzyVariable*> Inputs, Outputs;
  for (const TVariableShape& V : Shape.Inputs) Inputs.push_back(Add(V));
  for (const TVariableShape& V : Shape.Outputs) Outputs.push_back(Add(V));
  TFuzzyRuleBlock& Block = System->AddRuleBlock("rules");
  for (const TRuleShape& Rule : Shape.Rules) {
    auto Clause = [&](std::pair<int, int> C) {
      TFuzzyVariable& Input = *Inputs[static_cast<std::size_t>(C.first)];
      return TFuzzyAntecedent::Is(Input, *Input.Items().Items(C.second));
    };
    TFuzzyAntecedent Antecedent = Clause(Rule.Clauses[0]);
    for (std::size_t C = 1; C < Rule.Clauses.size(); ++C)
      Antecedent = TFuzzyAntecedent::Combine(std::move(Antecedent), Rule.Or ? FuzzyOr : FuzzyAnd,
                                             Clause(Rule.Clauses[C]));
    TFuzzyVariable* Output = Outputs[static_cast<std::size_t>(Rule.Output)];
    Block.Add(std::move(Antecedent), {{Output, Output->Items().Items(Rule.Term)}});
  }
  return System;
}

// Input rows that sweep each input over its range without landing on a breakpoint.
std::vector<TFzyFloat> SweepRows(const TSystemShape& Shape, int Rows) {
  std::vector<TFzyFloat> Values;
  for (int Row = 0; Row < Rows; ++Row)
    for (std::size_t I = 0; I < Shape.Inputs.size(); ++I) {
      const TVariableShape& V = Shape.Inputs[I];
      const double Fraction = std::fmod((Row + 0.5) * (0.6180339887 + 0.1 * static_cast<double>(I)), 1.0);
      Values.push_back(V.Minimum + Fraction * (V.Maximum - V.Minimum));
    }
  return Values;
}

constexpr TFzyFloat AllFire[2] = {3, 8};
constexpr int SweepSize = 64;

// ---- ours ------------------------------------------------------------------------------------

void TippingObjectPath(benchmark::State& State) {
  TOwned<TFuzzySystem> System = MakeSystem(TippingShape());
  TFuzzyInference Result;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    Result = System->Run(AllFire);
    benchmark::DoNotOptimize(Result.Outputs[0].Value);
  }
  State.counters["answer"] = Result.Outputs[0].Value;
}
BENCHMARK(TippingObjectPath)->Apply(IterationCount);

void Tipping(benchmark::State& State) {
  const TFuzzyEvaluator Evaluator = MakeSystem(TippingShape())->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  TFzyFloat Tip = 0;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    Evaluator.Evaluate(AllFire, {&Tip, 1}, Workspace);
    benchmark::DoNotOptimize(Tip);
  }
  State.counters["answer"] = Tip;
}
BENCHMARK(Tipping)->Apply(IterationCount);

void TippingSweepObjectPath(benchmark::State& State) {
  const TSystemShape Shape = TippingShape();
  TOwned<TFuzzySystem> System = MakeSystem(Shape);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, SweepSize);
  TAllocationsPerCall Allocations(State);
  std::size_t Row = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(System->Run({Rows.data() + 2 * Row, 2}).Outputs[0].Value);
    Row = (Row + 1) % SweepSize;
  }
}
BENCHMARK(TippingSweepObjectPath)->Apply(IterationCount);

void TippingSweep(benchmark::State& State) {
  const TSystemShape Shape = TippingShape();
  const TFuzzyEvaluator Evaluator = MakeSystem(Shape)->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, SweepSize);
  TFzyFloat Tip = 0;
  TAllocationsPerCall Allocations(State);
  std::size_t Row = 0;
  for (auto _ : State) {
    Evaluator.Evaluate({Rows.data() + 2 * Row, 2}, {&Tip, 1}, Workspace);
    benchmark::DoNotOptimize(Tip);
    Row = (Row + 1) % SweepSize;
  }
}
BENCHMARK(TippingSweep)->Apply(IterationCount);

// Arguments: rules, inputs.
void Scaling(benchmark::State& State) {
  const TSystemShape Shape = ScalingShape(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)));
  const TFuzzyEvaluator Evaluator = MakeSystem(Shape)->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  // The system's inputs are those its rules name; all share one range, so the sweep's first
  // columns serve them in any order.
  const std::size_t Inputs = static_cast<std::size_t>(Evaluator.InputCount());
  std::vector<TFzyFloat> Rows;
  const std::vector<TFzyFloat> Sweep = SweepRows(Shape, SweepSize);
  for (std::size_t Row = 0; Row < SweepSize; ++Row)
    Rows.insert(Rows.end(), Sweep.begin() + static_cast<std::ptrdiff_t>(Row * Shape.Inputs.size()),
                Sweep.begin() + static_cast<std::ptrdiff_t>(Row * Shape.Inputs.size() + Inputs));
  TFzyFloat Out = 0;
  TAllocationsPerCall Allocations(State);
  std::size_t Row = 0;
  for (auto _ : State) {
    Evaluator.Evaluate({Rows.data() + Inputs * Row, Inputs}, {&Out, 1}, Workspace);
    benchmark::DoNotOptimize(Out);
    Row = (Row + 1) % SweepSize;
  }
  State.counters["ns_per_rule"] =
      benchmark::Counter(static_cast<double>(State.iterations() * State.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
void ScalingSizes(benchmark::internal::Benchmark* Benchmark) {
  for (int Inputs : {2, 10})
    for (int Rules : {3, 30, 300, 3000}) Benchmark->Args({Rules, Inputs});
  IterationCount(Benchmark);
}
BENCHMARK(Scaling)->Apply(ScalingSizes);

constexpr int BatchRows = 1000000;

// Argument: threads, each evaluating its share of the rows with its own workspace.
void TippingBatch(benchmark::State& State) {
  const TSystemShape Shape = TippingShape();
  const TFuzzyEvaluator Evaluator = MakeSystem(Shape)->Compile();
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, BatchRows);
  std::vector<TFzyFloat> Tips(BatchRows);
  const int Threads = static_cast<int>(State.range(0));
  for (auto _ : State) {
    std::vector<std::thread> Workers;
    for (int T = 0; T < Threads; ++T)
      Workers.emplace_back([&, T] {
        const std::size_t First = static_cast<std::size_t>(BatchRows) * static_cast<std::size_t>(T) /
                                  static_cast<std::size_t>(Threads);
        const std::size_t Last = static_cast<std::size_t>(BatchRows) * static_cast<std::size_t>(T + 1) /
                                 static_cast<std::size_t>(Threads);
        TFuzzyWorkspace Workspace(Evaluator);
        Evaluator.EvaluateBatch({Rows.data() + 2 * First, 2 * (Last - First)},
                                {Tips.data() + First, Last - First}, Workspace);
      });
    for (std::thread& Worker : Workers) Worker.join();
    benchmark::DoNotOptimize(Tips.data());
  }
  State.counters["rows_per_s"] =
      benchmark::Counter(static_cast<double>(State.iterations()) * BatchRows, benchmark::Counter::kIsRate);
}
BENCHMARK(TippingBatch)->Arg(1)->Arg(2)->UseRealTime()->Apply(IterationCount);

std::string TippingSystemText() {
  std::ifstream File(FUZZY_EXAMPLES_DIR "/tipping_system.fzs", std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// A new system from the text in each call: the three variables through the definition parser and
// the three rules through the rule reader.
void TippingFromText(benchmark::State& State) {
  const std::string Text = TippingSystemText();
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(ReadFuzzySystem(Text)->Outputs().size());
}
BENCHMARK(TippingFromText)->Apply(IterationCount);

// The same text up to its rules: the difference to TippingFromText is the reading of the rules.
void TippingDefinitionsFromText(benchmark::State& State) {
  std::string Text = TippingSystemText();
  Text.erase(Text.find("(defrules"));
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(ReadFuzzySystem(Text)->Logic().Items().Count());
}
BENCHMARK(TippingDefinitionsFromText)->Apply(IterationCount);

#ifdef FUZZY_BENCH_PEER
// ---- the peer --------------------------------------------------------------------------------

class TPeerSystem {
 public:
  explicit TPeerSystem(const TSystemShape& Shape) {
    for (const TVariableShape& V : Shape.Inputs) {
      auto* Variable = new fl::InputVariable(V.Name, V.Minimum, V.Maximum);
      for (const TShapeTerm& T : V.Terms) Variable->addTerm(Term(T));
      FEngine.addInputVariable(Variable);
      FInputs.push_back(Variable);
    }
    for (const TVariableShape& V : Shape.Outputs) {
      auto* Variable = new fl::OutputVariable(V.Name, V.Minimum, V.Maximum);
      Variable->setAggregation(new fl::Maximum);
      Variable->setDefuzzifier(new fl::Centroid(100));
      for (const TShapeTerm& T : V.Terms) Variable->addTerm(Term(T));
      FEngine.addOutputVariable(Variable);
      FOutput = Variable;
    }
    auto* Rules = new fl::RuleBlock;
    Rules->setConjunction(new fl::Minimum);
    Rules->setDisjunction(new fl::Maximum);
    Rules->setImplication(new fl::Minimum);
    Rules->setActivation(new fl::General);
    for (const TRuleShape& Rule : Shape.Rules) {
      std::string Text = "if";
      for (std::size_t C = 0; C < Rule.Clauses.size(); ++C) {
        const auto [Input, Term] = Rule.Clauses[C];
        if (C > 0) Text += Rule.Or ? " or" : " and";
        Text += " " + Shape.Inputs[static_cast<std::size_t>(Input)].Name + " is " +
                Shape.Inputs[static_cast<std::size_t>(Input)].Terms[static_cast<std::size_t>(Term)].Name;
      }
      const TVariableShape& Out = Shape.Outputs[static_cast<std::size_t>(Rule.Output)];
      Text += " then " + Out.Name + " is " + Out.Terms[static_cast<std::size_t>(Rule.Term)].Name;
      Rules->addRule(fl::Rule::parse(Text, &FEngine));
    }
    FEngine.addRuleBlock(Rules);
  }

  double Process(const TFzyFloat* Values) {
    for (std::size_t I = 0; I < FInputs.size(); ++I) FInputs[I]->setValue(Values[I]);
    FEngine.process();
    return FOutput->getValue();
  }

 private:
  static fl::Term* Term(const TShapeTerm& T) {
    const auto& V = T.Vertices;
    if (T.Peer == "Trapezoid") return new fl::Trapezoid(T.Name, V[0], V[1], V[2], V[3]);
    return new fl::Triangle(T.Name, V[0], V[1], V[2]);
  }

  fl::Engine FEngine;
  std::vector<fl::InputVariable*> FInputs;
  fl::OutputVariable* FOutput = nullptr;
};

void PeerTipping(benchmark::State& State) {
  TPeerSystem Peer(TippingShape());
  double Tip = 0;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) benchmark::DoNotOptimize(Tip = Peer.Process(AllFire));
  State.counters["answer"] = Tip;
}
BENCHMARK(PeerTipping)->Apply(IterationCount);

void PeerTippingSweep(benchmark::State& State) {
  const TSystemShape Shape = TippingShape();
  TPeerSystem Peer(Shape);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, SweepSize);
  TAllocationsPerCall Allocations(State);
  std::size_t Row = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Peer.Process(Rows.data() + 2 * Row));
    Row = (Row + 1) % SweepSize;
  }
}
BENCHMARK(PeerTippingSweep)->Apply(IterationCount);

void PeerScaling(benchmark::State& State) {
  const TSystemShape Shape = ScalingShape(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)));
  TPeerSystem Peer(Shape);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, SweepSize);
  std::size_t Row = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Peer.Process(Rows.data() + Shape.Inputs.size() * Row));
    Row = (Row + 1) % SweepSize;
  }
  State.counters["ns_per_rule"] =
      benchmark::Counter(static_cast<double>(State.iterations() * State.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(PeerScaling)->Apply(ScalingSizes);

// The peer's engine keeps its state in its variables, so only one thread can run it.
void PeerTippingBatch(benchmark::State& State) {
  const TSystemShape Shape = TippingShape();
  TPeerSystem Peer(Shape);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, BatchRows);
  std::vector<double> Tips(BatchRows);
  for (auto _ : State) {
    for (int Row = 0; Row < BatchRows; ++Row)
      Tips[static_cast<std::size_t>(Row)] = Peer.Process(Rows.data() + 2 * Row);
    benchmark::DoNotOptimize(Tips.data());
  }
  State.counters["rows_per_s"] =
      benchmark::Counter(static_cast<double>(State.iterations()) * BatchRows, benchmark::Counter::kIsRate);
}
BENCHMARK(PeerTippingBatch)->Arg(1)->UseRealTime()->Apply(IterationCount);
#endif

// Prints the three answers over the sweep and the largest differences.
int Compare() {
  const TSystemShape Shape = TippingShape();
  TOwned<TFuzzySystem> System = MakeSystem(Shape);
  const TFuzzyEvaluator Evaluator = System->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  const std::vector<TFzyFloat> Rows = SweepRows(Shape, SweepSize);
  double Compiled = 0, Peer = 0;
#ifdef FUZZY_BENCH_PEER
  TPeerSystem PeerSystem(Shape);
#endif
  std::printf("| service | food | object path | compiled | peer |\n|---:|---:|---:|---:|---:|\n");
  for (int Row = -1; Row < SweepSize; ++Row) {
    const TFzyFloat* Values = Row < 0 ? AllFire : Rows.data() + 2 * Row;
    const double Object = System->Run({Values, 2}).Outputs[0].Value;
    double Tip = 0;
    Evaluator.Evaluate({Values, 2}, {&Tip, 1}, Workspace);
    Compiled = std::max(Compiled, std::fabs(Tip - Object));
    double PeerTip = std::nan("");
#ifdef FUZZY_BENCH_PEER
    PeerTip = PeerSystem.Process(Values);
    Peer = std::max(Peer, std::fabs(PeerTip - Tip));
#endif
    std::printf("| %.4f | %.4f | %.10f | %.10f | %.10f |\n", Values[0], Values[1], Object, Tip, PeerTip);
  }
  std::printf(
      "\nLargest difference, compiled against the object path: %.3g; the peer against the compiled: %.3g\n",
      Compiled, Peer);
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
