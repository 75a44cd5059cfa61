#pragma once
// The automatic terms of a variable over its range [Min, Max], for either model: "low" falls from
// 1 at Min to 0 at Max, "medium" is a triangle from Min to Max, "high" rises from 0 to 1. Each term
// gets its name as its expression.
//
// NewTerm(Name) yields a new, empty term, or nothing when the variable has a term of that name;
// SetLine(Term, X1, Y1, X2, Y2) gives a term the two points as one change.

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

template <typename TNewTerm, typename TSetLine>
void CreateAutoTerms(TFzyFloat Min, TFzyFloat Max, TNewTerm&& NewTerm, TSetLine&& SetLine) {
  if (auto Low = NewTerm(SLowFuzzyTerm)) {
    SetLine(*Low, Min, 1.0, Max, 0.0);
    Low->SetExpression(Low->Name());
  }
  if (auto Medium = NewTerm(SMediumFuzzyTerm)) {
    // The peak is half the width of the range, not its centre; the triangle clamps it into the range.
    Medium->CreateTriangleFunctionValues(Min, (Max - Min) / 2, Max);
    Medium->SetExpression(Medium->Name());
  }
  if (auto High = NewTerm(SHighFuzzyTerm)) {
    SetLine(*High, Min, 0.0, Max, 1.0);
    High->SetExpression(High->Name());
  }
}

}  // namespace fuzzy
