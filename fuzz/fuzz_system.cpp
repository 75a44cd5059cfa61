// libFuzzer harness of the system text and the rule text:
//  - the input read as a system text (definitions and rule blocks) into a system, with and without
//    the automatic terms; what was read (before an error too) is printed, and the printed text must
//    read again and print the same; the system's compiled evaluator must answer as its object path
//    at a few inputs: the same outputs fire, and where every output term is zero at both ends (so
//    that the merge walk needs no crossing beyond a set's ends, which it does not look for) the
//    crisp values agree within 1e-3 of the output's range;
//  - the input read as one rule over the tipping system, which then runs in both ways.
// Reading must end in a system or in EFzyException (EFzyParseException among them); any other
// exception escapes and is reported as a crash, like a sanitizer finding, a leak or a timeout. A
// broken round trip or a disagreement of the two paths aborts.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_rule_reader.h"
#include "fuzzy/rules/fuzzy_system_printer.h"
#include "fuzzy/rules/fuzzy_system_reader.h"

namespace {

using namespace fuzzy;

constexpr const char* Tipping =
    "(deffuzzy service (range 0 10) (values (term poor (tri 0 0 5)) (term good (tri 0 5 10))"
    " (term excellent (tri 5 10 10))))\n"
    "(deffuzzy food (range 0 10) (values (term rancid ((0 1) (1 1) (3 0))) (term delicious ((7 0) (9 1) (10 "
    "1)))))\n"
    "(deffuzzy tip (range 0 30) (values (term cheap (tri 0 5 10)) (term average (tri 10 15 20))"
    " (term generous (tri 20 25 30))))\n"
    "(defrules tipping (rule \"if service is poor or food is rancid then tip is cheap\"))\n";

[[noreturn]] void Finding(const char* What, const std::string& Text, const std::string& Detail) {
  std::fprintf(stderr, "%s\n--- text:\n%s\n--- detail:\n%s\n", What, Text.c_str(), Detail.c_str());
  std::abort();
}

// Whether every term of every output is zero at both ends.
bool ZeroAtTheEnds(const TFuzzySystem& System) {
  for (const TFuzzyVariable* Output : System.Outputs())
    for (const TFuzzySet* Term : Output->Items()) {
      const TFuzzySetValues& Points = Term->Values();
      if (Points.Count() > 0 && (Points.Point(0)->Y() != 0 || Points.Point(Points.Count() - 1)->Y() != 0))
        return false;
    }
  return true;
}

// Both paths at each input's bounds, its middle and a little beyond its range.
void CompareThePaths(TFuzzySystem& System, const std::string& Text) {
  const std::size_t Inputs = System.Inputs().size();
  const std::size_t Outputs = System.Outputs().size();
  if (Inputs == 0 || Outputs == 0) return;
  const bool CompareValues = ZeroAtTheEnds(System);
  try {
    const TFuzzyEvaluator Evaluator = System.Compile();
    TFuzzyWorkspace Workspace(Evaluator);
    std::vector<TFzyFloat> Values(Inputs), Compiled(Outputs);
    for (const double Place : {0.0, 0.5, 1.0, -0.1, 1.1}) {
      for (std::size_t I = 0; I < Inputs; ++I) {
        const TFuzzyVariable& Input = *System.Inputs()[I];
        Values[I] = Input.Minimum() + Place * (Input.Maximum() - Input.Minimum());
        if (!std::isfinite(Values[I])) return;
      }
      const TFuzzyInference Expected = System.Run(Values);
      Evaluator.Evaluate(Values, Compiled, Workspace);
      for (std::size_t O = 0; O < Outputs; ++O) {
        const TFuzzyOutputReport& Output = Expected.Outputs[O];
        if (Workspace.OutputFired(static_cast<int>(O)) != Output.Fired())
          Finding("the compiled evaluator fires otherwise", Text, Output.Name);
        const TFuzzyVariable& Variable = *System.Outputs()[O];
        const double Width = Variable.Maximum() - Variable.Minimum();
        if (!CompareValues || !Output.Fired() || !(Width >= 1 && std::isfinite(Width))) continue;
        if (!(std::fabs(Compiled[O] - Output.Value) <= 1e-3 * Width))
          Finding("the compiled evaluator answers otherwise", Text,
                  Output.Name + ": " + FloatToStr(Compiled[O]) + " against " + FloatToStr(Output.Value));
      }
    }
  } catch (const EFzyException&) {
    // A set that the cycle cannot take (a conclusion without points, say) fails in either path.
  }
}

void ReadSystem(const std::string& Text, bool AutoTerms) {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  System->Logic().SetAutoTerms(AutoTerms);
  try {
    ReadFuzzySystem(*System, Text);
  } catch (const EFzyException&) {
    // What was read before the error stays, and is printed too.
  }
  std::string Printed;
  try {
    Printed = PrintFuzzySystem(*System);
  } catch (const EFzyException&) {
    return;  // a name that no atom can hold
  }
  TOwned<TFuzzySystem> Again;
  try {
    Again = ReadFuzzySystem(Printed);
  } catch (const EFzyException& E) {
    Finding("printed system does not read", Printed, E.what());
  }
  if (const std::string Twice = PrintFuzzySystem(*Again); Twice != Printed)
    Finding("printed system reads back to another", Printed, Twice);
  CompareThePaths(*System, Text);
}

void ReadRule(const std::string& Text) {
  TOwned<TFuzzySystem> System = ReadFuzzySystem(Tipping);
  try {
    ReadFuzzyRule(System->RuleBlocks(0), Text);
  } catch (const EFzyException&) {
    return;
  }
  CompareThePaths(*System, Text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  ReadSystem(Text, Size % 2 == 1);
  ReadRule(Text);
  return 0;
}
