#include "fuzzy/model/fuzzy_variable_range.h"

#include <algorithm>

#include "fuzzy/model/internal/number_check.h"

namespace fuzzy {

void TFuzzyVariableRange::SetMaximum(TFzyFloat Value) {
  CheckFinite(Value, "Maximum");
  if (Value == FMaximum) return;
  FMaximum = Value;
  if (FMinimum > FMaximum) SetMinimum(FMaximum);
  RangeChanged();
}

void TFuzzyVariableRange::SetMinimum(TFzyFloat Value) {
  CheckFinite(Value, "Minimum");
  if (Value == FMinimum) return;
  FMinimum = Value;
  if (FMinimum > FMaximum) SetMaximum(FMinimum);
  RangeChanged();
}

void TFuzzyVariableRange::SetThreshold(TFzyFloat Value) {
  CheckNumber(Value, "Threshold");
  FThreshold = std::clamp(Value, 0.0, 1.0);
}

void TFuzzyVariableRange::CopyRange(const TFuzzyVariableRange& Source, bool WithThreshold) {
  FMinimum = Source.FMinimum;
  FMaximum = Source.FMaximum;
  if (WithThreshold) FThreshold = Source.FThreshold;
}

}  // namespace fuzzy
