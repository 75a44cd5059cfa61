#pragma once
// What one inference cycle of a rule system reports: the inputs as used, the crisp outputs and how
// each was found, and, for an explained cycle, every degree, strength and set along the way. All
// of it is plain data, independent of the system that produced it.

#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

// How an output's crisp value was found.
enum TFuzzyOutputSource : std::uint8_t { fosCenterOfGravity, fosMeanOfMaxima, fosNoRuleFired };

// "centre of gravity", "mean of maxima" or "no rule fired".
std::string_view OutputSourceText(TFuzzyOutputSource Source);

struct TFuzzyInputReport {
  std::string Name;
  // The value the host gave, and the value used: the given one held within the variable's range.
  TFzyFloat Given = 0;
  TFzyFloat Value = 0;
  bool Clamped() const { return Given != Value; }
};

struct TFuzzyOutputReport {
  std::string Name;
  // The crisp value; when no rule fired, the system's default for the output (NaN unless set).
  TFzyFloat Value = 0;
  TFuzzyOutputSource Source = fosNoRuleFired;
  bool Fired() const { return Source != fosNoRuleFired; }
};

struct TFuzzyInference {
  std::vector<TFuzzyInputReport> Inputs;
  std::vector<TFuzzyOutputReport> Outputs;

  // The report of the output named Name, or nullptr.
  const TFuzzyOutputReport* FindOutput(std::string_view Name) const;
  // The crisp value of the output named Name; raises EFzyException when there is none.
  TFzyFloat Output(std::string_view Name) const;

  // Readable lines, an input or an output each ("tip = 15.4933 (centre of gravity)").
  std::string ToText() const;
  // The same as one JSON object ({"inputs": [...], "outputs": [...]}), numbers at full precision.
  std::string ToJson() const;
};

struct TFuzzyPoint {
  TFzyFloat X, Y;
  friend bool operator==(const TFuzzyPoint&, const TFuzzyPoint&) = default;
};
using TFuzzyPoints = std::vector<TFuzzyPoint>;

struct TFuzzyTermDegree {
  std::string Term;
  TFzyFloat Degree;
};

struct TFuzzyInputExplanation {
  TFuzzyInputReport Input;
  // The input's degree in every set that a clause compares it with, in the order of first use.
  std::vector<TFuzzyTermDegree> Degrees;
};

struct TFuzzyClauseExplanation {
  std::string Variable;
  std::string Term;
  TFzyFloat Degree;
};

struct TFuzzyConclusionExplanation {
  std::string Variable;
  std::string Term;
  // False when the strength stayed below the output variable's threshold.
  bool Fired;
  // The term as the rule's strength made it (cut or scaled), when it fired.
  TFuzzyPoints Points;
};

struct TFuzzyRuleExplanation {
  std::string Block;
  // The rule's position in its block, from 1.
  int Number;
  std::string Text;
  std::vector<TFuzzyClauseExplanation> Clauses;
  // The antecedent's strength, the rule's weight, and their product, which fires the conclusions.
  TFzyFloat Strength;
  TFzyFloat Weight;
  TFzyFloat FiringStrength;
  std::vector<TFuzzyConclusionExplanation> Conclusions;
  // At least one conclusion fired.
  bool Fired() const;
};

struct TFuzzyOutputExplanation {
  TFuzzyOutputReport Output;
  // The union of the fired conclusions, as defuzzified; empty when no rule fired.
  TFuzzyPoints Accumulated;
};

struct TFuzzyExplanation {
  TFuzzyInference Result;
  std::vector<TFuzzyInputExplanation> Inputs;
  std::vector<TFuzzyRuleExplanation> Rules;
  std::vector<TFuzzyOutputExplanation> Outputs;

  // A report for people, numbers written with four decimals.
  std::string ToText() const;
  // The same as one JSON object, numbers at full precision (null for NaN).
  std::string ToJson() const;
};

}  // namespace fuzzy
