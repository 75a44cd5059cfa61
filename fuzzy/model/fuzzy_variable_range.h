#pragma once
// The range and the rule threshold of a linguistic variable, shared by the class model's
// TFuzzyVariable and the interface model's TIFuzzyVariable so that their rules are written once:
//
//   Variable->SetMaximum(30);   // [0, 30]
//   Variable->SetMinimum(40);   // Minimum above Maximum: Maximum follows, [40, 40]
//   Variable->SetThreshold(2);  // clamped: 1
//
// Each bound that changes reports through RangeChanged (the variable's change report); the sets
// keep their points. A NaN or infinite bound, or a NaN threshold, raises EFzyException before
// anything changes.

#include "fuzzy/engine/fuzzy_context.h"

namespace fuzzy {

class TFuzzyVariableRange : public TFuzzyVariableContext {
 public:
  // Pulls Minimum down to the new Maximum when it lies above it (a change of its own).
  void SetMaximum(TFzyFloat Value);
  // Pushes Maximum up to the new Minimum when it lies below it (a change of its own).
  void SetMinimum(TFzyFloat Value);
  TFzyFloat Threshold() const override { return FThreshold; }
  // Clamped into [0, 1]; reports no change.
  void SetThreshold(TFzyFloat Value);

 protected:
  TFuzzyVariableRange() = default;
  ~TFuzzyVariableRange() = default;
  // A bound changed.
  virtual void RangeChanged() = 0;
  // Stores the three values as they are, for the variables' copies (no checks, no report).
  void CopyRange(const TFuzzyVariableRange& Source, bool WithThreshold);

 private:
  TFzyFloat FThreshold = 0.0;
};

}  // namespace fuzzy
