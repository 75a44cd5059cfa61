#pragma once
// The classic tipping problem built with the class model: how much to tip (0..30 %) for a service
// and a food quality rated 0..10. Shared by the tipping example program and the rule-cycle
// benchmark.
//
// Rules: service poor or food rancid -> tip cheap; service good -> tip average;
//        service excellent or food delicious -> tip generous.

#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy::examples {

class TTipper {
 public:
  TTipper();

  // Fires the three rules for the crisp inputs and returns the accumulated tip set, a member of the
  // tip variable (free it, or let the tipper keep it until the next call).
  TFuzzySet* Infer(TFzyFloat Service, TFzyFloat Food);
  // The crisp tip: the centre of gravity of the accumulated set; the set is freed again.
  TFzyFloat Tip(TFzyFloat Service, TFzyFloat Food);

  TFuzzyVariable& TipVariable() const { return *FTip; }

 private:
  // Adds Accumulated with the rule's conclusion; the result replaces Accumulated.
  void Fire(TFzyFloat Strength, const TFuzzySet* Conclusion, TFuzzySet*& Accumulated);

  TOwned<TFuzzyLogic> FLogic;
  TFuzzyVariable* FService;
  TFuzzyVariable* FFood;
  TFuzzyVariable* FTip;
  TFuzzySet* FServiceInput;
  TFuzzySet* FFoodInput;
  TFuzzySet* FPoor;
  TFuzzySet* FGood;
  TFuzzySet* FExcellent;
  TFuzzySet* FRancid;
  TFuzzySet* FDelicious;
  TFuzzySet* FCheap;
  TFuzzySet* FAverage;
  TFuzzySet* FGenerous;
};

}  // namespace fuzzy::examples
