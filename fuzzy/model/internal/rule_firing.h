#pragma once
// Firing a rule on an output variable, written once for both models:
//
//   below the variable's threshold nothing happens (the result is empty); otherwise a copy of the
//   conclusion NewEvidence is correlated with the strength and, when OldEvidence (the conclusion
//   gathered so far) is given, inferred into it; OldEvidence itself is left unchanged.
//
// TRules says how a model holds, copies, correlates and infers its sets:
//   THeld                       the owning handle of a set (TOwned<TFuzzySet>, IPtr<IFuzzySet>)
//   Clone(NewEvidence)          a held copy
//   Correlate(Held, Strength)   correlates the copy
//   Infer(OldEvidence, Held)    the held union of the evidence so far with the copy
// The copy is released when it is no longer needed, also when a step raises.

#include <algorithm>
#include <cstddef>

#include "fuzzy/model/internal/number_check.h"

namespace fuzzy {

// A rule set that was not given; formatted with its role ("Premise", "NewEvidence").
inline constexpr std::string_view SMissingRuleSet = "Invalid operation: \"AssertRule\".  %s not assigned";

template <typename TRules, typename TSet>
typename TRules::THeld FireRule(TFzyFloat Threshold, TFzyFloat Strength, const TSet& NewEvidence,
                                const TSet& OldEvidence) {
  CheckFinite(Strength, "CorrelationStrength");
  if (Strength < Threshold) return {};
  if (!NewEvidence) throw EFzyException(SMissingRuleSet, {"NewEvidence"});
  typename TRules::THeld Consequent = TRules::Clone(NewEvidence);
  TRules::Correlate(Consequent, Strength);
  if (!OldEvidence) return Consequent;
  return TRules::Infer(OldEvidence, Consequent);
}

// The lowest correlation strength of each premise with the matching set at its position; 1 for no
// premises. Raises EListError when Matchings is shorter than Premises and EFzyException for a
// missing premise. Serves spans of set pointers and of counted set references alike.
template <typename TSets>
TFzyFloat LowestCorrelationStrength(const TSets& Premises, const TSets& Matchings) {
  if (Matchings.size() < Premises.size())
    throw EListError(SListIndexError, {static_cast<int>(Matchings.size())});
  TFzyFloat Result = 1.0;
  for (std::size_t I = 0; I < Premises.size(); ++I) {
    if (!Premises[I]) throw EFzyException(SMissingRuleSet, {"Premise"});
    Result = std::min(Result, Premises[I]->GetCorrelationStrength(Matchings[I]));
  }
  return Result;
}

}  // namespace fuzzy
