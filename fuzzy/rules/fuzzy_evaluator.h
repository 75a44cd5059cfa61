#pragma once
// A compiled fuzzy system: the inference cycle of TFuzzySystem::Run on flat copies of the sets
// (breakpoint arrays per set, rules as index lists), with no library objects, no notification and
// no names on the way. TFuzzySystem::Compile makes one; it is an ordinary value that never
// changes, so any number of threads may evaluate with one evaluator at once, each with a workspace
// of its own.
//
// The crisp values are those of Run up to rounding, with these exceptions, which all come from the
// library's 0.0001 tolerance or from its merge walk:
//  - where the set operations decide by the tolerance whether two breakpoints coincide, whether two
//    segments cross, whether a near-zero degree or a sliver of width counts as area, and whether
//    neighbouring points or degrees are the same, the evaluator decides exactly (flat_sets.h);
//  - under the min-max inference the accumulated set is built from the strongest conclusion of each
//    term instead of every conclusion: the same function, with fewer points on its slopes, so a
//    union's repeated points at degree 0 (which the point list keeps) are not there either.
//
// Evaluate allocates nothing once its workspace has room for the largest accumulated set met so
// far; a new workspace has room for the largest union of a system's conclusions that the
// evaluator's bound allows (up to 4096 points per set), which only pathological systems outgrow.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/rules/flat_sets.h"

namespace fuzzy {

class TFuzzySystem;
class TFuzzyWorkspace;

class TFuzzyEvaluator {
 public:
  int InputCount() const { return static_cast<int>(FInputs.size()); }
  int OutputCount() const { return static_cast<int>(FOutputs.size()); }
  // Names in the order of the system's Inputs() and Outputs().
  const std::string& InputName(int Input) const { return FInputs.at(static_cast<std::size_t>(Input)).Name; }
  const std::string& OutputName(int Output) const {
    return FOutputs.at(static_cast<std::size_t>(Output)).Name;
  }
  // The position of the input (output) named Name, or -1.
  int InputIndex(std::string_view Name) const;
  int OutputIndex(std::string_view Name) const;

  // One cycle: Outputs[o] receives output o's crisp value for the input values Inputs, in the
  // order of the names. Afterwards the workspace tells which inputs were held within their range
  // and which outputs fired. Raises EFzyException for spans of the wrong size, a workspace made for
  // another evaluator, or a NaN input.
  void Evaluate(std::span<const TFzyFloat> Inputs, std::span<TFzyFloat> Outputs,
                TFuzzyWorkspace& Workspace) const;
  // Evaluate for each row: Rows holds InputCount() values per row, Results receives OutputCount()
  // values per row. The workspace reports on the last row.
  void EvaluateBatch(std::span<const TFzyFloat> Rows, std::span<TFzyFloat> Results,
                     TFuzzyWorkspace& Workspace) const;

 private:
  friend class TFuzzySystem;
  friend class TFuzzyWorkspace;
  explicit TFuzzyEvaluator(const TFuzzySystem& System);

  // A set's points in the point pool.
  struct TFlatSet {
    int Offset;
    int Count;
  };
  struct TInput {
    std::string Name;
    TFzyFloat Minimum, Maximum;
  };
  // The degree of one input in one set, computed once per cycle.
  struct TSlot {
    int Input;
    TFlatSet Set;
  };
  // A rule's condition in postfix order: a slot's degree (no Connective), or the degree function
  // of a connective of the two conditions before it.
  struct TStep {
    int Slot;
    TFuzzyDegreeFunction Connective;
  };
  struct TRule {
    int FirstStep, StepCount;
    TFzyFloat Weight;
    int FirstConclusion, ConclusionCount;
  };
  // Output Output is Term (an index into FTerms), fired with its rule's strength.
  struct TConclusion {
    int Output;
    int Term;
  };
  struct TOutput {
    std::string Name;
    TFzyFloat Minimum, Maximum, Threshold, Default;
    TFuzzyCorrelationMethod Correlation;
    TFuzzyOperation Inference;
    TDefuzzificationMethod Defuzzification;
    // The output's terms, FTerms[FirstTerm ...], and its conclusions in rule order,
    // FFirings[FirstFiring ...] (indexes into FConclusions).
    int FirstTerm, TermCount;
    int FirstFiring, FiringCount;
  };

  flat::TPointsView View(TFlatSet Set) const {
    return {FX.data() + Set.Offset, FY.data() + Set.Offset, Set.Count};
  }
  TFlatSet AddPoints(std::span<const TFzyFloat> X, std::span<const TFzyFloat> Y);
  void CheckShape(std::size_t Inputs, std::size_t Outputs, const TFuzzyWorkspace& Workspace) const;
  TFzyFloat RuleStrength(const TRule& Rule, TFuzzyWorkspace& Workspace) const;
  // The accumulated set of output Output in the workspace's accumulator; the number of
  // conclusions that fired.
  int Accumulate(const TOutput& Output, TFuzzyWorkspace& Workspace) const;
  void EvaluateRow(const TFzyFloat* Inputs, TFzyFloat* Outputs, TFuzzyWorkspace& Workspace) const;

  std::vector<TInput> FInputs;
  std::vector<TSlot> FSlots;
  std::vector<TStep> FSteps;
  std::vector<TRule> FRules;
  std::vector<TConclusion> FConclusions;
  std::vector<TOutput> FOutputs;
  std::vector<TFlatSet> FTerms;
  std::vector<int> FFirings;
  std::vector<TFzyFloat> FX, FY;
  // The most conditions a rule keeps waiting, the most points of a correlated term, and the room
  // a new workspace makes for an accumulated set.
  int FDepth = 1;
  int FClipCapacity = 0;
  int FUnionCapacity = 0;
};

// What one thread needs to evaluate: room for degrees, strengths and sets. Make one per thread.
class TFuzzyWorkspace {
 public:
  explicit TFuzzyWorkspace(const TFuzzyEvaluator& Evaluator);

  // After a cycle: input Input's value was outside its variable's range and was held within it.
  bool InputClamped(int Input) const { return FClamped.at(static_cast<std::size_t>(Input)) != 0; }
  // After a cycle: some rule fired output Output (otherwise it got its default value).
  bool OutputFired(int Output) const { return FFired.at(static_cast<std::size_t>(Output)) != 0; }

 private:
  friend class TFuzzyEvaluator;
  std::vector<TFzyFloat> FValues;
  std::vector<char> FClamped;
  std::vector<TFzyFloat> FDegrees;
  std::vector<TFzyFloat> FStack;
  std::vector<TFzyFloat> FStrengths;
  std::vector<TFzyFloat> FTermStrengths;
  std::vector<char> FFired;
  flat::TPointBuffer FClip, FAccumulated, FNext;
};

}  // namespace fuzzy
