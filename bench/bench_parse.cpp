// Reading definition texts: the tipping problem written in the definition language, read into a
// logic component of each model (its variables freed again each time), against the peer's import
// of the same engine from its own text format; a generated text of 1,000 variables with 7 terms
// each; and texts of about 10 KB, 1 MB and 10 MB, with the peak memory of a reading. Besides the
// allocations per reading, each benchmark reports them per token of its text.

#include <string>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "examples/tipping.h"
#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#ifdef FUZZY_BENCH_PEER
#include <fl/Headers.h>
#endif

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

// ---- texts -------------------------------------------------------------------------------------

template <typename TTerms>
std::string TippingVariable(const char* Name, TFzyFloat Maximum, const TTerms& Terms) {
  std::string Text = std::string("(deffuzzy ") + Name + "\n  (range 0 " + FloatToStr(Maximum) + ")\n  (values";
  for (const examples::TTippingTerm& T : Terms)
    Text += std::string("\n    (term ") + T.Name + " (tri " + FloatToStr(T.Left) + " " + FloatToStr(T.Middle) +
            " " + FloatToStr(T.Right) + "))";
  return Text + "))\n";
}

// The three variables of the tipping problem, as examples/tipping.h builds them.
std::string TippingText() {
  return TippingVariable("service", examples::ServiceMaximum, examples::ServiceTerms) +
         TippingVariable("food", examples::FoodMaximum, examples::FoodTerms) +
         TippingVariable("tip", examples::TipMaximum, examples::TipTerms);
}

// Variable Index of a generated text: a comment, a range, units and seven terms, value pairs and
// function calls taking turns.
std::string GeneratedVariable(int Index) {
  const std::string N = std::to_string(Index);
  return "(deffuzzy var" + N + " \"generated variable " + N + "\"\n  (range 0 100) (units \"per cent\")\n  (values\n" +
         "    (term t0 ((0 1) (10 1) (25 0)))\n"
         "    (term t1 (tri 10 25 40))\n"
         "    (term t2 ((25 0) (40 1) (55 0)))\n"
         "    (term t3 (pi 10 55))\n"
         "    (term t4 ((55 0) (70 1) (85 0) (90 0.5)))\n"
         "    (term t5 (beta 10 80 5))\n"
         "    (term t6 (s 80 100))))\n";
}

// Generated variables until the text holds at least Bytes characters, or exactly Variables of them.
std::string GeneratedText(std::size_t Bytes, int Variables = 0) {
  std::string Text;
  for (int I = 0; Variables > 0 ? I < Variables : Text.size() < Bytes; ++I) Text += GeneratedVariable(I);
  return Text;
}

int TokenCount(const std::string& Text) {
  TOwned<TFuzzyLogicTokenStream> Stream = MakeOwned<TFuzzyLogicTokenStream>(New<TAQStringStream>(Text), nullptr);
  int Count = 0;
  while (Stream->NextToken()->DataType() != fstNone) ++Count;
  return Count;
}

// ---- readings ----------------------------------------------------------------------------------

void ClearVariables(TFuzzyLogic& Logic) { Logic.Items().Clear(); }
void ClearVariables(TIFuzzyLogic& Logic) { Logic.Items().Clear(); }

// Reads Text into a logic component of TLogic again and again.
template <typename TLogic>
void Read(benchmark::State& State, const std::string& Text) {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  Logic->SetAutoTerms(false);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  const int Tokens = TokenCount(Text);
  const std::size_t AllocationsBefore = AllocationCount();
  {
    TAllocationsPerCall Allocations(State);
    TPeakMemory Peak(State);
    for (auto _ : State) {
      Parser->Parse(Text, nullptr);
      ClearVariables(*Logic);
    }
  }
  const double Calls = static_cast<double>(State.iterations());
  State.counters["tokens"] = Tokens;
  State.counters["allocs_per_token"] = static_cast<double>(AllocationCount() - AllocationsBefore) / Calls / Tokens;
  State.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(Text.size()) * Calls / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void ParseTipping(benchmark::State& State) { Read<TFuzzyLogic>(State, TippingText()); }
BENCHMARK(ParseTipping)->Apply(IterationCount);

void ParseTippingInterfaces(benchmark::State& State) { Read<TIFuzzyLogic>(State, TippingText()); }
BENCHMARK(ParseTippingInterfaces)->Apply(IterationCount);

void ParseGenerated(benchmark::State& State) {
  Read<TFuzzyLogic>(State, GeneratedText(0, static_cast<int>(State.range(0))));
}
BENCHMARK(ParseGenerated)->Arg(1000)->Unit(benchmark::kMillisecond)->Apply(IterationCount);

void ParseGeneratedInterfaces(benchmark::State& State) {
  Read<TIFuzzyLogic>(State, GeneratedText(0, static_cast<int>(State.range(0))));
}
BENCHMARK(ParseGeneratedInterfaces)->Arg(1000)->Unit(benchmark::kMillisecond)->Apply(IterationCount);

// Texts of about 10 KB, 1 MB and 10 MB (the argument is in kilobytes).
void TextSizes(benchmark::internal::Benchmark* Benchmark) {
  for (const int Kilobytes : {10, 1000, 10000}) Benchmark->Arg(Kilobytes);
  Benchmark->Unit(benchmark::kMillisecond);
}

void ParseSize(benchmark::State& State) {
  Read<TFuzzyLogic>(State, GeneratedText(static_cast<std::size_t>(State.range(0)) * 1000));
}
BENCHMARK(ParseSize)->Apply(TextSizes)->Apply(IterationCount);

void ParseSizeInterfaces(benchmark::State& State) {
  Read<TIFuzzyLogic>(State, GeneratedText(static_cast<std::size_t>(State.range(0)) * 1000));
}
BENCHMARK(ParseSizeInterfaces)->Apply(TextSizes)->Apply(IterationCount);

#ifdef FUZZY_BENCH_PEER
// The same engine in the peer's own text format; WithRules adds its rule block, which the peer's
// import also parses (our texts hold no rules).
std::string PeerTippingText(bool WithRules) {
  const auto Terms = [](const auto& Of) {
    std::string Text;
    for (const examples::TTippingTerm& T : Of)
      Text += std::string("  term: ") + T.Name + " Triangle " + FloatToStr(T.Left) + " " + FloatToStr(T.Middle) + " " +
              FloatToStr(T.Right) + "\n";
    return Text;
  };
  std::string Text = "Engine: tipper\n"
                     "InputVariable: service\n  enabled: true\n  range: 0 10\n" +
                     Terms(examples::ServiceTerms) +
                     "InputVariable: food\n  enabled: true\n  range: 0 10\n" + Terms(examples::FoodTerms) +
                     "OutputVariable: tip\n  enabled: true\n  range: 0 30\n  aggregation: Maximum\n"
                     "  defuzzifier: Centroid 100\n  default: nan\n" +
                     Terms(examples::TipTerms);
  if (WithRules)
    Text += "RuleBlock: \n  enabled: true\n  conjunction: Minimum\n  disjunction: Maximum\n"
            "  implication: Minimum\n  activation: General\n"
            "  rule: if service is poor or food is rancid then tip is cheap\n"
            "  rule: if service is good then tip is average\n"
            "  rule: if service is excellent or food is delicious then tip is generous\n";
  return Text;
}

// Named after ours so that the table of run.sh puts them in one row.
void PeerImport(benchmark::State& State, bool WithRules) {
  const std::string Text = PeerTippingText(WithRules);
  const fl::FllImporter Importer;
  TAllocationsPerCall Allocations(State);
  for (auto _ : State) {
    fl::Engine* Engine = Importer.fromString(Text);
    benchmark::DoNotOptimize(Engine);
    delete Engine;
  }
}

void PeerParseTipping(benchmark::State& State) { PeerImport(State, true); }
BENCHMARK(PeerParseTipping)->Apply(IterationCount);

void PeerParseTippingWithoutRules(benchmark::State& State) { PeerImport(State, false); }
BENCHMARK(PeerParseTippingWithoutRules)->Apply(IterationCount);
#endif

}  // namespace

BENCHMARK_MAIN();
